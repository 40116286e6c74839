#include "geometry/Segment.h"

#include <algorithm>
#include <cmath>

bool segmentBoxMeets(FPoint p, FPoint q, const FRect& rect, FRect* overlap)
{
    FRect r = rect;
    r.normalise();
    const FRect box{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    if (box.left > r.right || box.right < r.left || box.top > r.bottom || box.bottom < r.top)
        return false;
    if (overlap != nullptr)
        *overlap = FRect{std::max(box.left, r.left), std::max(box.top, r.top), std::min(box.right, r.right),
                         std::min(box.bottom, r.bottom)};
    return true;
}

float distance(FPoint p, FPoint q)
{
    const float dx = std::fabs(p.x - q.x);
    const float dy = std::fabs(p.y - q.y);
    return std::sqrt(dx * dx + dy * dy);
}

FPoint pointAtFraction(FPoint p, FPoint q, float f)
{
    return FPoint{p.x + f * (q.x - p.x), p.y + f * (q.y - p.y)};
}

namespace {

// Moves `end`, which lies outside the rectangle, onto the first edge it lies beyond and where the
// segment towards `other` crosses within the edge. An edge that `other` lies beyond as well is not
// crossed by the segment at all. Returns false when no edge fits.
bool moveOntoEdge(FPoint& end, FPoint other, const FRect& r)
{
    auto yAt = [&](float x) { return other.y + (end.y - other.y) * (x - other.x) / (end.x - other.x); };
    auto xAt = [&](float y) { return other.x + (end.x - other.x) * (y - other.y) / (end.y - other.y); };
    auto withinY = [&](float y) { return r.top <= y && y <= r.bottom; };
    auto withinX = [&](float x) { return r.left <= x && x <= r.right; };

    if (end.x < r.left) {
        if (other.x < r.left)
            return false;
        const float y = yAt(r.left);
        if (withinY(y)) {
            end = FPoint{r.left, y};
            return true;
        }
    } else if (end.x > r.right) {
        if (other.x > r.right)
            return false;
        const float y = yAt(r.right);
        if (withinY(y)) {
            end = FPoint{r.right, y};
            return true;
        }
    }
    if (end.y < r.top) {
        if (other.y < r.top)
            return false;
        const float x = xAt(r.top);
        if (withinX(x)) {
            end = FPoint{x, r.top};
            return true;
        }
    } else if (end.y > r.bottom) {
        if (other.y > r.bottom)
            return false;
        const float x = xAt(r.bottom);
        if (withinX(x)) {
            end = FPoint{x, r.bottom};
            return true;
        }
    }
    return false;
}

} // namespace

bool clipSegment(FPoint& p, FPoint& q, const FRect& rect)
{
    FPoint newP = p;
    FPoint newQ = q;
    if (!pointInRect(p, rect) && !moveOntoEdge(newP, q, rect))
        return false;
    if (!pointInRect(q, rect) && !moveOntoEdge(newQ, p, rect))
        return false;
    p = newP;
    q = newQ;
    return true;
}
