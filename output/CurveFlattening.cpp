#include "output/CPlotterDevice.h"

#include "geometry/Segment.h"

#include <algorithm>
#include <cmath>

namespace {

// Subdivision stops below this depth whatever the curve still looks like.
constexpr int kMaxCurveDepth = 10;

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
        const float t = curveSplit_.ratio(curve);
        if (t != 0.0f) {
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
