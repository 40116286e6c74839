#include "output/CPlotterDevice.h"

#include "geometry/Segment.h"

#include <cmath>

namespace {

// The single-precision half and full circle the turn test works with.
constexpr float kHalfTurn = 3.1415926f;
constexpr float kFullTurn = 6.2831852f;
// A turn sharper than this swivels the knife at the corner before the cut goes on.
constexpr float kSwivelTurn = 1.45f;

} // namespace

bool CPlotterDevice::turnKnife(float x, float y)
{
    const float dx = x - lastPoint_.x;
    const float dy = y - lastPoint_.y;
    // A segment of no length has no direction to turn the knife into.
    if (dx == 0.0f && dy == 0.0f)
        return false;
    const float theta = std::atan2(dy, dx);
    // A direction from points that are not finite numbers would poison the knife vector, which outlives
    // the pass: keep the previous one.
    if (!std::isfinite(theta))
        return false;
    const float radius = knifeRadius();
    knifeVector_ = {radius * std::cos(theta), radius * std::sin(theta)};
    lastDirection_ = theta;
    return true;
}

void CPlotterDevice::lineFirst(float x, float y)
{
    if (knifeCorrectionActive()) {
        // The knife swivels about the last point into the new direction before it cuts.
        turnKnife(x, y);
        sendPoint(CommandTemplate::LineTo, lastPoint_.x + knifeVector_.x, lastPoint_.y + knifeVector_.y);
        sendPoint(CommandTemplate::LineTo, x + knifeVector_.x, y + knifeVector_.y);
    } else {
        sendPoint(CommandTemplate::LineTo, x, y);
    }
    lastPoint_ = {x, y};
}

void CPlotterDevice::lineNext(float x, float y)
{
    if (x == lastPoint_.x && y == lastPoint_.y)
        return;
    if (knifeCorrectionActive()) {
        const float previous = lastDirection_;
        if (turnKnife(x, y)) {
            const float delta = std::fabs(lastDirection_ - previous);
            const float turn = delta <= kHalfTurn ? delta : kFullTurn - delta;
            if (turn > kSwivelTurn)
                sendPoint(CommandTemplate::LineToEx, lastPoint_.x + knifeVector_.x,
                          lastPoint_.y + knifeVector_.y);
        }
        sendPoint(CommandTemplate::LineToEx, x + knifeVector_.x, y + knifeVector_.y);
    } else {
        sendPoint(CommandTemplate::LineToEx, x, y);
    }
    lastPoint_ = {x, y};
}

void CPlotterDevice::lineTo(float x, float y)
{
    noteHighestX(x);
    if (pendingLine_ == 0)
        lineFirst(x, y);
    else
        lineNext(x, y);
    pendingLine_ = 1;
}

void CPlotterDevice::dashLineTo(float x, float y)
{
    noteHighestX(x);
    // Without any stretch length the pattern cannot advance: the line is cut whole.
    if (!(solidLength_ > 0.0f) && !(gapLength_ > 0.0f)) {
        lineTo(x, y);
        return;
    }

    const FPoint target{x, y};
    float remaining = distance(lastPoint_, target);
    if (!(remaining > 0.0f))
        return;

    while (remaining > 0.0f) {
        // A stretch that cannot shorten what is left (an infinite length, or one so long that the stretch
        // vanishes in its rounding) ends the segment in the current stretch.
        const bool fits = dashRemaining_ > remaining;
        const bool stalls =
            !std::isfinite(remaining) || (dashRemaining_ > 0.0f && remaining - dashRemaining_ == remaining);
        if (fits || stalls) {
            if (fits)
                dashRemaining_ -= remaining;
            if (dashState_ == 1)
                lineTo(x, y);
            else
                moveTo(x, y);
            return;
        }
        const FPoint p = pointAtFraction(lastPoint_, target, dashRemaining_ / remaining);
        remaining -= dashRemaining_;
        if (dashState_ == 1) {
            lineFirst(p.x, p.y);
            pendingLine_ = 1;
            dashRemaining_ = gapLength_;
            dashState_ = 0;
        } else {
            moveTo(p.x, p.y);
            dashRemaining_ = solidLength_;
            dashState_ = 1;
        }
    }
}
