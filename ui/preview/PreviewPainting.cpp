#include "ui/preview/PreviewPainting.h"

#include "plotdata/CPlot.h"
#include "ui/preview/CPainterSurface.h"

#include <QPainter>
#include <QRect>

void turnUpsideDown(CPlot& plot)
{
    plot.applyTransform(CMatrix::Scale(1, -1));
    plot.bake();
}

CMatrix previewMatrix(float viewLeft, float viewTop, float scale, int areaLeft, int areaTop)
{
    CMatrix m = CMatrix::Translation(1 - viewLeft, 1 - viewTop);
    m.Multiply(CMatrix::Scale(scale, scale));
    m.Multiply(CMatrix::Translation(float(areaLeft + 5), float(areaTop + 5)));
    return m;
}

void paintPreview(QPainter& painter, const QRect& area, const CPlot* plot, float viewLeft, float viewTop,
                  float scale)
{
    painter.save();
    painter.setClipRect(area);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (plot != nullptr) {
        const CMatrix m = previewMatrix(viewLeft, viewTop, scale, area.left(), area.top());
        const IRect clip{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
        CPainterSurface surface(painter);
        plot->draw(surface, &m, &clip);
    }
    painter.restore();
}
