#include "geometry/Rect.h"

#include <algorithm>
#include <cmath>
#include <utility>

bool FRect::liesInside(float l, float t, float r, float b) const
{
    return l <= left && left <= r && l <= right && right <= r && t <= top && top <= b && t <= bottom &&
           bottom <= b;
}

bool FRect::liesOutside(float l, float t, float r, float b) const
{
    return left > r || right < l || bottom < t || top > b;
}

void FRect::normalise()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

float FRect::width() const { return std::fabs(right - left); }

float FRect::height() const { return std::fabs(bottom - top); }

void FRect::setWidth(float w) { right = left + std::fabs(w); }

void FRect::setHeight(float h) { bottom = top + std::fabs(h); }

IRect rectFromPoints(IPoint a, IPoint b)
{
    return IRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}
