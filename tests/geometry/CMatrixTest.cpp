#include "geometry/CMatrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<CMatrix>);

namespace {

FPoint transformed(const CMatrix& m, FPoint p)
{
    m.TransformPoint(p);
    return p;
}

} // namespace

TEST(CMatrixTest, IsIdentityLooksAtTheLinearPartAndTheTranslationOnly)
{
    CMatrix m;
    EXPECT_TRUE(m.IsIdentity());
    m.m8 = 5.0f;
    EXPECT_TRUE(m.IsIdentity());
    m.m1 = -0.0f;
    EXPECT_TRUE(m.IsIdentity());
    m.m0 = 0.99999994f;
    EXPECT_FALSE(m.IsIdentity());
    EXPECT_FALSE(CMatrix::Translation(0, 0.001f).IsIdentity());
}

TEST(CMatrixTest, QuarterAndHalfTurnsAreExact)
{
    EXPECT_EQ(transformed(CMatrix::RotationAbout(0, 0, 90), FPoint{10, 0}), (FPoint{0, 10}));
    EXPECT_EQ(transformed(CMatrix::RotationAbout(0, 0, -90), FPoint{3, 7}), (FPoint{7, -3}));
    EXPECT_EQ(transformed(CMatrix::RotationAbout(0, 0, 180), FPoint{3, 7}), (FPoint{-3, -7}));
    EXPECT_EQ(transformed(CMatrix::RotationAbout(0, 0, -180), FPoint{3, 7}), (FPoint{-3, -7}));
    // About a centre: the centre stays, other points turn about it.
    const CMatrix about = CMatrix::RotationAbout(5, 5, 90);
    EXPECT_EQ(transformed(about, FPoint{5, 5}), (FPoint{5, 5}));
    EXPECT_EQ(transformed(about, FPoint{10, 5}), (FPoint{5, 10}));
}

TEST(CMatrixTest, OtherAnglesUseTheShortenedDegreeFactor)
{
    const CMatrix m = CMatrix::RotationAbout(0, 0, 135);
    const double shortened = 135 * 0.017453292222222222;
    EXPECT_EQ(m.m1, static_cast<float>(std::sin(shortened)));
    EXPECT_NE(m.m1, static_cast<float>(std::sin(135 * M_PI / 180)));
    EXPECT_EQ(m.m0, static_cast<float>(std::cos(shortened)));
    EXPECT_EQ(m.m3, -m.m1);
    // 270 degrees is not special: it goes through sin and cos and is not exact.
    EXPECT_NE(CMatrix::RotationAbout(0, 0, 270).m0, 0.0f);
}

TEST(CMatrixTest, MultiplyAppliesThisFirstAndStaysAffine)
{
    CMatrix m = CMatrix::Translation(1, 2);
    m.Multiply(CMatrix::Scale(10, 100));
    EXPECT_EQ(transformed(m, FPoint{0, 0}), (FPoint{10, 200}));

    CMatrix identity;
    identity.Multiply(CMatrix());
    EXPECT_TRUE(identity.IsIdentity());
    EXPECT_EQ(identity.m8, 1.0f);

    CMatrix odd;
    odd.m5 = 3.0f;
    odd.m8 = 7.0f;
    CMatrix r;
    r.m2 = 4.0f;
    r.Multiply(odd);
    EXPECT_EQ(r.m5, 0.0f);
    EXPECT_EQ(r.m8, 1.0f);
}

TEST(CMatrixTest, RectBoundsOfARotationAndTheirTruncation)
{
    const CMatrix turn = CMatrix::RotationAbout(0, 0, 90);
    FRect r{0, 0, 10, 20};
    turn.TransformRectBounds(r);
    EXPECT_EQ(r, (FRect{-20, 0, 0, 10}));

    FRect half{0.5f, -3.7f, 2.9f, 4.2f};
    IRect ir;
    CMatrix::Scale(-1, 1).TransformRectBounds(half, &ir);
    EXPECT_EQ(ir, (IRect{-2, -3, 0, 4})); // -0.5 becomes 0, not -1
    EXPECT_EQ(half, (FRect{0.5f, -3.7f, 2.9f, 4.2f}));

    FRect flipped{0, 0, 10, 20};
    CMatrix::Scale(-1, -1).TransformRect(flipped);
    EXPECT_EQ(flipped, (FRect{-10, -20, 0, 0}));
}

TEST(CMatrixTest, InverseUndoesTheTransformAndASingularOneStaysUndivided)
{
    CMatrix m = CMatrix::RotationAbout(3, 4, 30);
    m.Multiply(CMatrix::Scale(2, 0.5f));
    m.Multiply(CMatrix::Translation(-7, 11));
    const FPoint back = transformed(m.Inverse(), transformed(m, FPoint{12, -5}));
    EXPECT_NEAR(back.x, 12.0f, 1e-4f);
    EXPECT_NEAR(back.y, -5.0f, 1e-4f);

    const CMatrix flat = CMatrix::Scale(0, 2);
    EXPECT_EQ(flat.Determinant(), 0.0f);
    const CMatrix adjugate = flat.Inverse();
    EXPECT_EQ(adjugate.m0, 2.0f);
    EXPECT_EQ(adjugate.m4, 0.0f);
    EXPECT_FLOAT_EQ(CMatrix::Scale(4, 4).InverseLength(10), 2.5f);
}
