#include "output/CurveSplit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kFullTurn = 6.2831852f;
// Degrees to radians, as the accuracy setting is read.
constexpr float kRadiansPerDegree = 0.01745327777777778f;
// Below this difference between the two end angles the curve is split in its middle.
constexpr float kEvenSplit = 0.017453277f;
constexpr float kFirstThird = 0.3333f;
constexpr float kSecondThird = 0.6666f;
// The single-precision angles lie within a few millionths of a radian of the true ones (each arc tangent
// is good to a few units in the last place, and so are the difference and the fold); decisions are
// taken from cosines only when the true angles are further than this from the bound.
constexpr double kMargin = 1e-5;
// Directions shorter than this are left to the arc tangents, which define the angle of a null vector.
constexpr double kShortest = 1e-20;

// The angle between the directions a->b and c->d, folded into 0 ... half a turn.
float angleBetween(FPoint a, FPoint b, FPoint c, FPoint d)
{
    const float first = std::atan2(b.y - a.y, b.x - a.x);
    const float second = std::atan2(d.y - c.y, d.x - c.x);
    const float difference = std::fabs(first - second);
    return std::min(difference, kFullTurn - difference);
}

// The cosine of the true angle between the directions a->b and c->d; nothing when either direction is
// too short or not a number.
bool cosineBetween(FPoint a, FPoint b, FPoint c, FPoint d, double& cosine)
{
    const double ux = double{b.x} - a.x, uy = double{b.y} - a.y;
    const double vx = double{d.x} - c.x, vy = double{d.y} - c.y;
    const double lengths = std::sqrt(ux * ux + uy * uy) * std::sqrt(vx * vx + vy * vy);
    if (!(lengths >= kShortest * kShortest) || !std::isfinite(lengths))
        return false;
    cosine = std::clamp((ux * vx + uy * vy) / lengths, -1.0, 1.0);
    return true;
}

// The cosine of an angle of 0 .. half a turn, or the extremes beyond that range.
double cosineOf(double angle)
{
    if (angle <= 0.0)
        return 2.0;
    if (angle >= std::numbers::pi)
        return -2.0;
    return std::cos(angle);
}

const double kEvenSurely = cosineOf(kEvenSplit - 2 * kMargin);
const double kUnevenSurely = cosineOf(kEvenSplit + 2 * kMargin);

} // namespace

float curveSplitRatioByAngles(const Bezier& curve, float angleLimit)
{
    const float startAngle = angleBetween(curve.p0, curve.p1, curve.p0, curve.p3);
    const float endAngle = angleBetween(curve.p2, curve.p3, curve.p0, curve.p3);
    if (!(startAngle >= angleLimit || endAngle >= angleLimit))
        return 0.0f;
    if (!(std::fabs(startAngle - endAngle) >= kEvenSplit))
        return 0.5f;
    return startAngle > endAngle ? kFirstThird : kSecondThird;
}

CurveSplit::CurveSplit(float curveAccuracy)
    : angleLimit_(curveAccuracy * kRadiansPerDegree), reachesLimit_(-2.0), belowLimit_(2.0)
{
    // A limit that is not a number is reached by no angle: every curve is left to the arc tangents.
    if (std::isnan(angleLimit_))
        return;
    reachesLimit_ = cosineOf(double{angleLimit_} + kMargin);
    belowLimit_ = cosineOf(double{angleLimit_} - kMargin);
}

float CurveSplit::ratio(const Bezier& curve) const
{
    double start = 0;
    double end = 0;
    if (!cosineBetween(curve.p0, curve.p1, curve.p0, curve.p3, start) ||
        !cosineBetween(curve.p2, curve.p3, curve.p0, curve.p3, end))
        return curveSplitRatioByAngles(curve, angleLimit_);
    if (start >= belowLimit_ && end >= belowLimit_)
        return 0.0f;
    if (!(start <= reachesLimit_ || end <= reachesLimit_))
        return curveSplitRatioByAngles(curve, angleLimit_);
    // The cosine of the difference of the two angles, both of 0 .. half a turn.
    const double difference = start * end + std::sqrt(std::max(0.0, 1.0 - start * start)) *
                                                std::sqrt(std::max(0.0, 1.0 - end * end));
    if (difference >= kEvenSurely)
        return 0.5f;
    if (difference <= kUnevenSurely)
        return start < end ? kFirstThird : kSecondThird;
    return curveSplitRatioByAngles(curve, angleLimit_);
}
