#pragma once

#include "geometry/Point.h"
#include "geometry/Rect.h"

// An affine transform of row vectors: a point (x, y) becomes
//   x' = x*m0 + y*m3 + m6,  y' = x*m1 + y*m4 + m7.
// Nine single-precision floats in row order, copied by value; the third column stays (0, 0, 1).
struct __attribute__((packed)) CMatrix {
    float m0, m1, m2;
    float m3, m4, m5;
    float m6, m7, m8;

    CMatrix() { SetIdentity(); }

    static CMatrix Scale(float sx, float sy);
    static CMatrix Translation(float dx, float dy);
    // Turns by degrees about (a, b), counter-clockwise when Y grows upwards. Quarter and half turns are
    // exact.
    static CMatrix RotationAbout(float a, float b, float degrees);
    static CMatrix RotationAboutRectCentre(float left, float top, float right, float bottom, float degrees);
    static CMatrix MirrorAboutRectCentre(float left, float top, float right, float bottom, bool mirrorX,
                                         bool mirrorY);

    CMatrix& SetIdentity();
    CMatrix& Copy(const CMatrix& source);
    // m0 and m4 exactly 1, the other elements of the first two columns and m6, m7 equal to 0 (-0.0
    // included). m8 is not looked at.
    bool IsIdentity() const;
    // this = this * other: first this transform, then other. The result is always affine.
    CMatrix& Multiply(const CMatrix& other);

    // Inline: every point of a plot passes through here at every layout step and every section.
    void TransformPoint(FPoint& p) const
    {
        const float x = p.x * m0 + p.y * m3 + m6;
        const float y = p.x * m1 + p.y * m4 + m7;
        p = FPoint{x, y};
    }
    // With `out` the transformed point goes there, truncated toward zero, and p is unchanged; without it
    // p is overwritten.
    void TransformPoint(FPoint& p, IPoint* out) const;
    // The bounds of the four transformed corners. With `out` they go there, truncated toward zero, and
    // rect is unchanged; without it rect is overwritten.
    void TransformRectBounds(FRect& rect, IRect* out = nullptr) const;
    // Transforms (left, top) and (right, bottom) as points, then normalises.
    void TransformRect(FRect& rect) const;
    // Transforms (left, top) and (right, bottom) as points, truncated toward zero, not normalised.
    void TransformRect(const FRect& rect, IRect& out) const;
    // The corners (left, top), (right, top), (left, bottom), (right, bottom), transformed; optionally
    // their bounding box.
    void TransformCorners(const FRect& rect, FPoint corners[4], FRect* bounds = nullptr) const;

    float Determinant() const;
    // Multiplies every element by 1/s; does nothing when s is 0.
    CMatrix& DivideBy(float s);
    // The adjugate divided by the determinant; the undivided adjugate when the determinant is 0.
    CMatrix Inverse() const;
    // The length in source units of a vertical stretch of len in transformed units.
    float InverseLength(float len) const;
};

static_assert(sizeof(CMatrix) == 36, "CMatrix is nine floats back to back");
