#pragma once

#include "geometry/Point.h"
#include "geometry/Rect.h"

// Closed on all sides: a point on the border is inside.
bool pointInRect(FPoint p, const FRect& rect);

// Whether the bounding box of P-Q meets the rectangle (normalised first). When it does and overlap is
// given, overlap receives the common part of the box and the rectangle.
bool segmentBoxMeets(FPoint p, FPoint q, const FRect& rect, FRect* overlap = nullptr);

float distance(FPoint p, FPoint q);

// Distance of R from the infinite straight line through P and Q.
float pointLineDistance(FPoint p, FPoint q, FPoint r);

// P + f * (Q - P), for any f.
FPoint pointAtFraction(FPoint p, FPoint q, float f);

// Cuts P-Q to the part inside the rectangle. Returns false, leaving P and Q unchanged, when no part of
// the segment lies inside.
bool clipSegment(FPoint& p, FPoint& q, const FRect& rect);
