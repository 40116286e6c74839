#pragma once

#include "geometry/Point.h"
#include "geometry/Rect.h"

#include <cmath>

// Closed on all sides: a point on the border is inside. Inline, as the section cutter asks it for every
// point.
inline bool pointInRect(FPoint p, const FRect& rect)
{
    return rect.left <= p.x && p.x <= rect.right && rect.top <= p.y && p.y <= rect.bottom;
}

// Whether the bounding box of P-Q meets the rectangle (normalised first). When it does and overlap is
// given, overlap receives the common part of the box and the rectangle.
bool segmentBoxMeets(FPoint p, FPoint q, const FRect& rect, FRect* overlap = nullptr);

float distance(FPoint p, FPoint q);

// Distance of R from the infinite straight line through P and Q. Inline, as curve flattening asks it
// twice for every piece of every curve.
inline float pointLineDistance(FPoint p, FPoint q, FPoint r)
{
    if (p.x == q.x)
        return std::fabs(r.x - q.x);
    if (p.y == q.y)
        return std::fabs(r.y - q.y);
    const float k = (p.y - q.y) / (p.x - q.x);
    return std::fabs(p.y - k * p.x + k * r.x - r.y) / std::sqrt(k * k + 1.0f);
}

// P + f * (Q - P), for any f.
FPoint pointAtFraction(FPoint p, FPoint q, float f);

// Cuts P-Q to the part inside the rectangle. Returns false, leaving P and Q unchanged, when no part of
// the segment lies inside.
bool clipSegment(FPoint& p, FPoint& q, const FRect& rect);
