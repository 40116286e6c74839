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
    bool same = lastShape_.kind == kind && lastShape_.pen == pen_.pen() && lastShape_.lineType == lineType_ &&
                lastShape_.itemsAfter == pen_.itemsWritten();
    for (int i = 0; same && i < 5; ++i)
        same = lastShape_.key[i] == key[i];
    if (same)
        return true;
    lastShape_.kind = kind;
    for (int i = 0; i < 5; ++i)
        lastShape_.key[i] = key[i];
    lastShape_.pen = pen_.pen();
    lastShape_.lineType = lineType_;
    return false;
}

// EA/RA x,y and ER/RR dx,dy: the rectangle between the current position and the corner given,
// drawn whatever the pen state; the position does not change. A rectangle of no area, or an
// instruction with other than two parameters, draws nothing: a cutter would only stab the media.
void Interpreter::rectangle(bool relative)
{
    double v[3];
    if (scanner_.numbers(v, 3) != 2)
        return;
    Point a = scaling_.toUser(position_);
    Point b = relative ? Point{a.x + v[0], a.y + v[1]} : Point{v[0], v[1]};
    if (a.x == b.x || a.y == b.y)
        return;
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

// EW/WG radius,start,sweep[,chord]: the wedge (pie slice) around the current position; a sweep of a
// full turn or more is a circle. Drawn whatever the pen state; the position does not change. A wedge
// of no radius or sweep, or with more than four parameters, draws nothing.
void Interpreter::wedge()
{
    double v[5];
    int n = scanner_.numbers(v, 5);
    if (n < 3 || n > 4 || v[0] == 0 || v[2] == 0)
        return;
    Point center = scaling_.toUser(position_);
    const double key[5] = {center.x, center.y, v[0], v[1], v[2]};
    constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;
    Point start{center.x + v[0] * std::cos(v[1] * kRadiansPerDegree),
                center.y + v[0] * std::sin(v[1] * kRadiansPerDegree)};
    if (!arcHasLength(center, start, v[2]) || repeatsLastShape(kWedge, key))
        return;
    bool full = std::fabs(v[2]) >= 360;
    if (full)
        pen_.moveTo(bounded(scaling_.toPlotter(start)));
    else {
        pen_.moveTo(position_);
        pen_.lineTo(bounded(scaling_.toPlotter(start)));
    }
    traceArc(pen_, center, start, full ? 360 : v[2], chordAngle(v, n, 3));
    pen_.closeFigure();
    pen_.moveTo(position_);
    lastShape_.itemsAfter = pen_.itemsWritten();
}

// PM0 starts a polygon at the current position, PM1 closes a sub-polygon (the next point starts the
// next one), PM2 closes the last one and leaves polygon mode. The closing edge counts as drawn when
// the pen is down.
void Interpreter::polygonMode()
{
    double mode = 0;
    scanner_.number(mode);
    scanner_.numbers(nullptr, 0);
    if (mode == 0) {
        polygon_.begin(position_);
        polygonMode_ = true;
    } else if (mode == 1 && polygonMode_) {
        polygon_.closeSubpolygon(penDown_);
    } else if (mode == 2 && polygonMode_) {
        polygon_.closeSubpolygon(penDown_);
        polygonMode_ = false;
        pen_.moveTo(position_);
    }
}

// FP draws the polygon buffer as closed outlines, EP only its edges defined with the pen down; the
// position does not change.
void Interpreter::drawPolygon(bool fill)
{
    scanner_.numbers(nullptr, 0);
    const double key[5] = {static_cast<double>(polygon_.generation()), 0, 0, 0, 0};
    if (repeatsLastShape(kPolygon, key))
        return;
    polygon_.drawInto(pen_, fill);
    pen_.moveTo(position_);
    lastShape_.itemsAfter = pen_.itemsWritten();
}

} // namespace hpgl
