#pragma once

#include "geometry/Point.h"
#include "geometry/Rect.h"

// A cubic Bezier curve: start anchor, two control points, end anchor.
struct Bezier {
    FPoint p0;
    FPoint p1;
    FPoint p2;
    FPoint p3;

    bool operator==(const Bezier&) const = default;
};

enum class Axis { X, Y };

FPoint bezierPoint(const Bezier& curve, float t);

// De Casteljau's construction at t: `first` runs from P0 to the point at t, `second` from there to P3.
void bezierSplit(const Bezier& curve, float t, Bezier& first, Bezier& second);

// The part of the curve between two parameters, given in either order.
Bezier bezierRange(const Bezier& curve, float t0, float t1);

// The bounding box of the four points, control points included.
FRect bezierBox(const Bezier& curve);

// The parameters in (0, 1), ascending, at which the curve's X (or Y) equals value; at most three.
// Returns how many were written to roots.
int bezierCrossings(const Bezier& curve, Axis axis, float value, float roots[3]);

// The output of clipBezier: the pieces inside, four points each, closed by a point at
// (kClipListEnd, kClipListEnd).
constexpr int kClipListSize = 140;
constexpr float kClipListEnd = -99999.0f;
using ClipPointList = FPoint[kClipListSize];

// Cuts the curve at the rectangle's edges and lists the pieces that lie inside, in curve order.
// Returns false when the curve's box does not meet the rectangle; then the list is not touched.
bool clipBezier(const Bezier& curve, const FRect& rect, ClipPointList& out);
