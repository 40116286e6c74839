#include "geometry/CMatrix.h"

#include "geometry/Segment.h"
#include "geometry/Truncate.h"

#include <cmath>

namespace {

// Degrees to radians with pi taken as 3.1415926, as the rotations of stored jobs were made.
constexpr double kRadiansPerDegree = 0.017453292222222222;

} // namespace

CMatrix CMatrix::Scale(float sx, float sy)
{
    CMatrix m;
    m.m0 = sx;
    m.m4 = sy;
    return m;
}

CMatrix CMatrix::Translation(float dx, float dy)
{
    CMatrix m;
    m.m6 = dx;
    m.m7 = dy;
    return m;
}

CMatrix CMatrix::RotationAbout(float a, float b, float degrees)
{
    const double r = degrees * kRadiansPerDegree;
    double s = std::sin(r);
    double c = std::cos(r);
    if (degrees == 90.0f) {
        s = 1.0;
        c = 0.0;
    } else if (degrees == -90.0f) {
        s = -1.0;
        c = 0.0;
    } else if (degrees == 180.0f || degrees == -180.0f) {
        s = 0.0;
        c = -1.0;
    }
    CMatrix m;
    m.m0 = static_cast<float>(c);
    m.m1 = static_cast<float>(s);
    m.m3 = static_cast<float>(-s);
    m.m4 = static_cast<float>(c);
    m.m6 = static_cast<float>(b * s + a * (1.0 - c));
    m.m7 = static_cast<float>(b * (1.0 - c) - a * s);
    return m;
}

CMatrix CMatrix::RotationAboutRectCentre(float left, float top, float right, float bottom, float degrees)
{
    return RotationAbout((left + right) * 0.5f, (top + bottom) * 0.5f, degrees);
}

CMatrix CMatrix::MirrorAboutRectCentre(float left, float top, float right, float bottom, bool mirrorX,
                                       bool mirrorY)
{
    CMatrix m;
    m.m0 = mirrorX ? -1.0f : 1.0f;
    m.m4 = mirrorY ? -1.0f : 1.0f;
    m.m6 = (1.0f - m.m0) * (left + right) * 0.5f;
    m.m7 = (1.0f - m.m4) * (top + bottom) * 0.5f;
    return m;
}

CMatrix& CMatrix::SetIdentity()
{
    m0 = m1 = m2 = m3 = m4 = m5 = m6 = m7 = m8 = 0.0f;
    m0 = m4 = m8 = 1.0f;
    return *this;
}

CMatrix& CMatrix::Copy(const CMatrix& source)
{
    *this = source;
    return *this;
}

bool CMatrix::IsIdentity() const
{
    // 1.0 has one bit pattern, so == is a bitwise test there; for the zeros == lets -0.0 pass.
    return m0 == 1.0f && m4 == 1.0f && m1 == 0.0f && m2 == 0.0f && m3 == 0.0f && m5 == 0.0f && m6 == 0.0f &&
           m7 == 0.0f;
}

CMatrix& CMatrix::Multiply(const CMatrix& b)
{
    CMatrix r;
    r.m0 = m0 * b.m0 + m1 * b.m3;
    r.m1 = m0 * b.m1 + m1 * b.m4;
    r.m2 = m0 * b.m2 + m1 * b.m5;
    r.m3 = m3 * b.m0 + m4 * b.m3;
    r.m4 = m3 * b.m1 + m4 * b.m4;
    r.m5 = 0.0f;
    r.m6 = m6 * b.m0 + m7 * b.m3 + b.m6;
    r.m7 = m6 * b.m1 + m7 * b.m4 + b.m7;
    r.m8 = 1.0f;
    *this = r;
    return *this;
}

void CMatrix::TransformPoint(FPoint& p, IPoint* out) const
{
    if (out == nullptr) {
        TransformPoint(p);
        return;
    }
    FPoint q = p;
    TransformPoint(q);
    *out = IPoint{truncToInt(q.x), truncToInt(q.y)};
}

void CMatrix::TransformCorners(const FRect& rect, FPoint corners[4], FRect* bounds) const
{
    corners[0] = FPoint{rect.left, rect.top};
    corners[1] = FPoint{rect.right, rect.top};
    corners[2] = FPoint{rect.left, rect.bottom};
    corners[3] = FPoint{rect.right, rect.bottom};
    for (int i = 0; i < 4; ++i)
        TransformPoint(corners[i]);
    if (bounds != nullptr) {
        *bounds = FRect{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
        for (int i = 1; i < 4; ++i)
            bounds->widen(corners[i]);
    }
}

void CMatrix::TransformRectBounds(FRect& rect, IRect* out) const
{
    FPoint corners[4];
    FRect bounds;
    TransformCorners(rect, corners, &bounds);
    if (out == nullptr)
        rect = bounds;
    else
        *out = IRect{truncToInt(bounds.left), truncToInt(bounds.top), truncToInt(bounds.right),
                     truncToInt(bounds.bottom)};
}

void CMatrix::TransformRect(FRect& rect) const
{
    FPoint a{rect.left, rect.top};
    FPoint b{rect.right, rect.bottom};
    TransformPoint(a);
    TransformPoint(b);
    rect = FRect{a.x, a.y, b.x, b.y};
    rect.normalise();
}

void CMatrix::TransformRect(const FRect& rect, IRect& out) const
{
    FPoint a{rect.left, rect.top};
    FPoint b{rect.right, rect.bottom};
    TransformPoint(a);
    TransformPoint(b);
    out = IRect{truncToInt(a.x), truncToInt(a.y), truncToInt(b.x), truncToInt(b.y)};
}

float CMatrix::Determinant() const
{
    return m0 * m4 * m8 + m1 * m5 * m6 + m2 * m3 * m7 - m2 * m4 * m6 - m1 * m3 * m8 - m0 * m5 * m7;
}

CMatrix& CMatrix::DivideBy(float s)
{
    if (s == 0.0f)
        return *this;
    const float f = 1.0f / s;
    m0 *= f, m1 *= f, m2 *= f;
    m3 *= f, m4 *= f, m5 *= f;
    m6 *= f, m7 *= f, m8 *= f;
    return *this;
}

CMatrix CMatrix::Inverse() const
{
    CMatrix r;
    r.m0 = m4 * m8 - m5 * m7;
    r.m1 = m2 * m7 - m1 * m8;
    r.m2 = m1 * m5 - m2 * m4;
    r.m3 = m5 * m6 - m3 * m8;
    r.m4 = m0 * m8 - m2 * m6;
    r.m5 = m2 * m3 - m0 * m5;
    r.m6 = m3 * m7 - m4 * m6;
    r.m7 = m1 * m6 - m0 * m7;
    r.m8 = m0 * m4 - m1 * m3;
    r.DivideBy(Determinant());
    return r;
}

float CMatrix::InverseLength(float len) const
{
    const CMatrix inverse = Inverse();
    FPoint a{0.0f, len};
    FPoint b{0.0f, 0.0f};
    inverse.TransformPoint(a);
    inverse.TransformPoint(b);
    return distance(a, b);
}
