#include "output/CPlotterDevice.h"

#include "geometry/Segment.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFullTurn = 6.2831852f;
// Degrees to radians, as the accuracy setting is read.
constexpr float kRadiansPerDegree = 0.01745327777777778f;
// Below this difference between the two end angles the curve is split in its middle.
constexpr float kEvenSplit = 0.017453277f;
// Subdivision stops below this depth whatever the curve still looks like.
constexpr int kMaxCurveDepth = 10;

// The angle between the directions a->b and c->d, folded into 0 ... half a turn.
float angleBetween(FPoint a, FPoint b, FPoint c, FPoint d)
{
    const float first = std::atan2(b.y - a.y, b.x - a.x);
    const float second = std::atan2(d.y - c.y, d.x - c.x);
    const float difference = std::fabs(first - second);
    return std::min(difference, kFullTurn - difference);
}

} // namespace

void CPlotterDevice::curveTo(FPoint p0, FPoint p1, FPoint p2, FPoint p3)
{
    flattenCurve({p0, p1, p2, p3}, 0);
}

void CPlotterDevice::flattenCurve(const Bezier& curve, int depth)
{
    if (curve.p0 == curve.p3 && curve.p1 == curve.p3 && curve.p2 == curve.p3)
        return;

    const float bulge = std::max(pointLineDistance(curve.p0, curve.p3, curve.p1),
                                 pointLineDistance(curve.p0, curve.p3, curve.p2));
    const float tolerance = std::max(curveAccuracy_ * 0.5f, 1.0f);
    if (depth <= kMaxCurveDepth && bulge > tolerance) {
        // Only a curve that bulges out of the tolerance needs its end angles, which cost the most here.
        const float startAngle = angleBetween(curve.p0, curve.p1, curve.p0, curve.p3);
        const float endAngle = angleBetween(curve.p2, curve.p3, curve.p0, curve.p3);
        const float angleLimit = curveAccuracy_ * kRadiansPerDegree;
        if (startAngle >= angleLimit || endAngle >= angleLimit) {
            float t = 0.5f;
            if (std::fabs(startAngle - endAngle) >= kEvenSplit)
                t = startAngle > endAngle ? 0.3333f : 0.6666f;
            Bezier first;
            Bezier second;
            bezierSplit(curve, t, first, second);
            flattenCurve(first, depth + 1);
            flattenCurve(second, depth + 1);
            return;
        }
    }
    drawLine(curve.p3.x, curve.p3.y);
}

void CPlotterDevice::drawLine(float x, float y)
{
    if (dashFlag_ != 0)
        dashLineTo(x, y);
    else
        lineTo(x, y);
}
