#include "filters/Arcs.h"

#include <algorithm>
#include <cmath>

namespace hpgl {

namespace {

constexpr double kPi = 3.14159265358979323846;

double normalizedDegrees(double radians)
{
    double degrees = std::fmod(radians * 180 / kPi, 360);
    return degrees < 0 ? degrees + 360 : degrees;
}

} // namespace

bool arcHasLength(Point center, Point start, double sweepDegrees)
{
    double radius = std::hypot(start.x - center.x, start.y - center.y);
    return std::isfinite(sweepDegrees) && sweepDegrees != 0 && radius > 0 && std::isfinite(radius);
}

Point pointAround(Point center, Point start, double degrees)
{
    double radians = degrees * kPi / 180;
    double c = std::cos(radians), s = std::sin(radians);
    double dx = start.x - center.x, dy = start.y - center.y;
    return {center.x + dx * c - dy * s, center.y + dx * s + dy * c};
}

double chordAngle(const double* v, int n, int index)
{
    if (n <= index)
        return 0;
    double angle = std::fabs(v[index]);
    return angle >= 0.5 ? std::min(angle, 180.0) : 0.5; // NaN too gets the finest chords
}

int chordCount(double sweepDegrees, double chordDegrees)
{
    double sweep = std::min(std::fabs(sweepDegrees), 360.0);
    return std::max(1, static_cast<int>(std::ceil(sweep / chordDegrees - 1e-9)));
}

ArcPieces arcPieces(Point center, Point start, double sweepDegrees)
{
    ArcPieces arc;
    if (!std::isfinite(sweepDegrees) || sweepDegrees == 0)
        return arc;
    double sweep = std::clamp(sweepDegrees, -360.0, 360.0) * kPi / 180;
    double radius = std::hypot(start.x - center.x, start.y - center.y);
    if (!(radius > 0) || !std::isfinite(radius))
        return arc;
    arc.count = static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9));
    arc.count = std::clamp(arc.count, 1, 4);
    double step = sweep / arc.count;
    // Control points on the tangents at distance k * radius give the closest cubic to a circular arc.
    double k = 4.0 / 3.0 * std::tan(step / 4);
    double angle = std::atan2(start.y - center.y, start.x - center.x);
    Point from = start;
    for (int i = 0; i < arc.count; ++i) {
        double next = angle + step;
        Point to = i + 1 == arc.count && std::fabs(sweep) == 2 * kPi
                       ? start
                       : Point{center.x + radius * std::cos(next), center.y + radius * std::sin(next)};
        arc.piece[i].c1 = {from.x - k * radius * std::sin(angle), from.y + k * radius * std::cos(angle)};
        arc.piece[i].c2 = {to.x + k * radius * std::sin(next), to.y - k * radius * std::cos(next)};
        arc.piece[i].end = to;
        from = to;
        angle = next;
    }
    return arc;
}

bool arcThroughPoints(Point start, Point middle, Point end, Point& center, double& sweepDegrees)
{
    double ax = start.x, ay = start.y;
    double bx = middle.x - ax, by = middle.y - ay;
    double cx = end.x - ax, cy = end.y - ay;
    if (start == end) {
        // A full circle with start and middle on opposite sides.
        if (bx == 0 && by == 0)
            return false;
        center = {ax + bx / 2, ay + by / 2};
        sweepDegrees = 360;
        return true;
    }
    double d = 2 * (bx * cy - by * cx);
    double scale = std::max({std::fabs(bx), std::fabs(by), std::fabs(cx), std::fabs(cy)});
    if (std::fabs(d) <= 1e-12 * scale * scale)
        return false;
    double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    center = {ax + (cy * b2 - by * c2) / d, ay + (bx * c2 - cx * b2) / d};
    double a0 = std::atan2(start.y - center.y, start.x - center.x);
    double toMiddle = normalizedDegrees(std::atan2(middle.y - center.y, middle.x - center.x) - a0);
    double toEnd = normalizedDegrees(std::atan2(end.y - center.y, end.x - center.x) - a0);
    // Counter-clockwise when the middle point comes before the end going that way round.
    sweepDegrees = toMiddle < toEnd ? toEnd : toEnd - 360;
    return true;
}

} // namespace hpgl
