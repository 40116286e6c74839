#pragma once

#include "geometry/Point.h"

#include <algorithm>
#include <cstdint>

// An axis-aligned rectangle. "Top" is the smaller Y; a rectangle is normalised when left <= right and
// top <= bottom. Path extents use the same record: left = min X, top = min Y, right = max X,
// bottom = max Y.
struct FRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    bool operator==(const FRect&) const = default;

    void clear() { *this = FRect{}; }
    bool isZero() const { return left == 0.0f && top == 0.0f && right == 0.0f && bottom == 0.0f; }
    // Every edge lies within the given rectangle, borders included.
    bool liesInside(float l, float t, float r, float b) const;
    // The rectangle lies beyond one of the given edges; touching an edge is not outside.
    bool liesOutside(float l, float t, float r, float b) const;
    void normalise();
    // Moves the edges out just enough to take in the point. Inline: every extent is built point by point.
    void widen(FPoint p)
    {
        left = std::min(left, p.x);
        top = std::min(top, p.y);
        right = std::max(right, p.x);
        bottom = std::max(bottom, p.y);
    }
    float width() const;
    float height() const;
    void setWidth(float w);
    void setHeight(float h);
};

// A rectangle on a drawing surface.
struct IRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const IRect&) const = default;
};

// The normalised rectangle with the two points as opposite corners.
IRect rectFromPoints(IPoint a, IPoint b);
