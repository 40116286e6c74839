#include "filters/Arcs.h"
#include "filters/Interpreter.h"

#include <cmath>

namespace hpgl {

namespace {

enum ShapeKind { kRectangle = 1, kWedge, kPolygon };

} // namespace

// A filled shape is drawn as its outline, so a fill followed by the edge of the same shape (or the
// other way round) would draw, or cut, the same outline twice. The second one is left out when
// nothing else was drawn in between with the same pen and line type.
bool Interpreter::repeatsLastShape(int kind, const double (&key)[5])
{
    bool same = lastShape_.kind == kind && lastShape_.pen == pen_.pen() &&
                lastShape_.lineType == pen_.lineType() && lastShape_.itemsAfter == pen_.itemsWritten();
    for (int i = 0; same && i < 5; ++i)
        same = lastShape_.key[i] == key[i];
    if (same)
        return true;
    lastShape_.kind = kind;
    for (int i = 0; i < 5; ++i)
        lastShape_.key[i] = key[i];
    lastShape_.pen = pen_.pen();
    lastShape_.lineType = pen_.lineType();
    return false;
}

// EA/RA x,y and ER/RR dx,dy: the rectangle between the current position and the corner given,
// drawn whatever the pen state; the position does not change.
void Interpreter::rectangle(bool relative)
{
    double v[2];
    if (scanner_.numbers(v, 2) < 2)
        return;
    Point a = scaling_.toUser(position_);
    Point b = relative ? Point{a.x + v[0], a.y + v[1]} : Point{v[0], v[1]};
    const double key[5] = {a.x, a.y, b.x, b.y, 0};
    if (repeatsLastShape(kRectangle, key))
        return;
    pen_.moveTo(bounded(scaling_.toPlotter(a)));
    pen_.lineTo(bounded(scaling_.toPlotter({b.x, a.y})));
    pen_.lineTo(bounded(scaling_.toPlotter(b)));
    pen_.lineTo(bounded(scaling_.toPlotter({a.x, b.y})));
    pen_.closeFigure();
    pen_.moveTo(position_);
    lastShape_.itemsAfter = pen_.itemsWritten();
}

// EW/WG radius,start,sweep: the wedge (pie slice) around the current position; a sweep of a full turn
// or more is a circle. Drawn whatever the pen state; the position does not change.
void Interpreter::wedge()
{
    double v[4];
    if (scanner_.numbers(v, 4) < 3 || v[0] == 0 || v[2] == 0)
        return;
    Point center = scaling_.toUser(position_);
    const double key[5] = {center.x, center.y, v[0], v[1], v[2]};
    if (repeatsLastShape(kWedge, key))
        return;
    constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;
    Point start{center.x + v[0] * std::cos(v[1] * kRadiansPerDegree),
                center.y + v[0] * std::sin(v[1] * kRadiansPerDegree)};
    bool full = std::fabs(v[2]) >= 360;
    ArcPieces arc = arcPieces(center, start, full ? 360 : v[2]);
    if (full)
        pen_.moveTo(bounded(scaling_.toPlotter(start)));
    else {
        pen_.moveTo(position_);
        pen_.lineTo(bounded(scaling_.toPlotter(start)));
    }
    for (int i = 0; i < arc.count; ++i) {
        const CurvePiece& piece = arc.piece[i];
        pen_.curveTo(bounded(scaling_.toPlotter(piece.c1)), bounded(scaling_.toPlotter(piece.c2)),
                     bounded(scaling_.toPlotter(piece.end)));
    }
    pen_.closeFigure();
    pen_.moveTo(position_);
    lastShape_.itemsAfter = pen_.itemsWritten();
}

// PM0 starts a polygon at the current position, PM1 closes a sub-polygon (the next point starts the
// next one), PM2 closes the last one and leaves polygon mode.
void Interpreter::polygonMode()
{
    double mode = 0;
    scanner_.number(mode);
    scanner_.numbers(nullptr, 0);
    if (mode == 0) {
        polygon_.clear();
        polygonMode_ = true;
        polygon_.moveTo(position_);
    } else if (mode == 1 && polygonMode_) {
        polygon_.startNextFigure();
    } else if (mode == 2 && polygonMode_) {
        polygonMode_ = false;
        pen_.moveTo(position_);
    }
}

// EP and FP draw the polygon buffer as closed outlines; the position does not change.
void Interpreter::drawPolygon()
{
    scanner_.numbers(nullptr, 0);
    const double key[5] = {static_cast<double>(polygon_.generation()), 0, 0, 0, 0};
    if (repeatsLastShape(kPolygon, key))
        return;
    polygon_.drawInto(pen_);
    pen_.moveTo(position_);
    lastShape_.itemsAfter = pen_.itemsWritten();
}

} // namespace hpgl
