#pragma once

namespace hpgl {

// The plotter's range: numbers and coordinates beyond it are held at its edge.
inline constexpr double kPlotterRange = 1073741823.0;

// A point in plotter units (or user units before scaling).
struct Point {
    double x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Keeps a position finite however far relative moves and scaling push it (NaN goes to the low end);
// the output holds coordinates to the plotter's range in the end.
inline Point bounded(Point p)
{
    constexpr double kLimit = 1e15;
    auto hold = [](double v) { return v >= -kLimit ? (v < kLimit ? v : kLimit) : -kLimit; };
    return {hold(p.x), hold(p.y)};
}

// Receives drawing as figures: a move starts a figure, lines and curves extend it, and closeFigure ends
// it closed (adding the closing line when the last point is not the first). A figure ends open at the
// next move.
class PathSink {
public:
    virtual ~PathSink() = default;
    virtual void moveTo(Point p) = 0;
    virtual void lineTo(Point p) = 0;
    virtual void curveTo(Point c1, Point c2, Point p) = 0;
    virtual void closeFigure() = 0;
};

} // namespace hpgl
