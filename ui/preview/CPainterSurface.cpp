#include "ui/preview/CPainterSurface.h"

#include <QColor>
#include <QPainter>
#include <QPen>

namespace {

// Colours on the surface are 0x00BBGGRR, red in the low byte.
QColor toQColor(uint32_t colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

uint32_t fromQColor(const QColor& colour)
{
    return uint32_t(colour.red()) | uint32_t(colour.green()) << 8 | uint32_t(colour.blue()) << 16;
}

} // namespace

CPainterSurface::CPainterSurface(QPainter& painter) : painter_(painter)
{
    pen_.colour = fromQColor(painter.pen().color());
}

void CPainterSurface::beginPath() { path_.clear(); }

void CPainterSurface::moveTo(IPoint p) { path_.moveTo(p.x, p.y); }

void CPainterSurface::lineTo(IPoint p) { path_.lineTo(p.x, p.y); }

void CPainterSurface::bezierTo(IPoint control1, IPoint control2, IPoint end)
{
    path_.cubicTo(control1.x, control1.y, control2.x, control2.y, end.x, end.y);
}

CPen CPainterSurface::selectPen(const CPen& pen)
{
    const CPen replaced = pen_;
    pen_ = pen;
    return replaced;
}

void CPainterSurface::strokePath()
{
    if (path_.isEmpty())
        return;
    QPen pen(toQColor(pen_.colour));
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter_.strokePath(path_, pen);
    path_.clear();
}
