#include "geometry/Bezier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// The pieces of a clip list, up to its end marker.
std::vector<Bezier> piecesOf(const ClipPointList& list)
{
    std::vector<Bezier> pieces;
    for (int i = 0; i + 3 < kClipListSize && list[i].x != kClipListEnd; i += 4)
        pieces.push_back(Bezier{list[i], list[i + 1], list[i + 2], list[i + 3]});
    return pieces;
}

// Runs from x = -10 to x = 10 along y = 5; its X is exactly 0 at t = 0.5, which is one of the samples of
// the crossing scan.
const Bezier kSymmetric{{-10, 5}, {-10, 5}, {10, 5}, {10, 5}};

// The crossings as the scan is described: the curve's X minus the value as a cubic in t, sampled at every
// step of 0.0001, a root refined by halving wherever the sign changes, one taken as it is where a sample is
// exactly zero. The cutter's pieces, and so the device bytes, depend on every bit of these parameters.
int crossingsSampleBySample(const Bezier& c, float value, float roots[3])
{
    const double v0 = c.p0.x, v1 = c.p1.x, v2 = c.p2.x, v3 = c.p3.x;
    const double a = -v0 + 3 * v1 - 3 * v2 + v3, b = 3 * v0 - 6 * v1 + 3 * v2, k = -3 * v0 + 3 * v1,
                 d = v0 - value;
    const auto f = [&](double t) { return ((a * t + b) * t + k) * t + d; };
    if (a == 0.0 && b == 0.0 && k == 0.0 && d == 0.0)
        return 0;
    int found = 0;
    double prevT = 0.0;
    double prevF = f(0.0);
    for (int i = 1; i <= 10000 && found < 3; ++i) {
        const double t = i / 10000.0;
        const double ft = f(t);
        if (prevF * ft < 0) {
            double lo = prevT, hi = t, mid = 0;
            for (;;) {
                mid = (lo + hi) / 2;
                if (std::fabs(f(mid)) < 1e-7 || hi - lo <= 1e-7)
                    break;
                (f(lo) * f(mid) < 0 ? hi : lo) = mid;
            }
            roots[found++] = static_cast<float>(mid);
        } else if (ft == 0.0 && t < 1.0) {
            roots[found++] = static_cast<float>(t);
        }
        prevT = t;
        prevF = ft;
    }
    return found;
}

} // namespace

TEST(BezierTest, PointSplitAndRange)
{
    const Bezier c{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    EXPECT_EQ(bezierPoint(c, 0.5f), (FPoint{5, 7.5f}));

    Bezier first, second;
    bezierSplit(c, 0.25f, first, second);
    EXPECT_EQ(first.p3, second.p0);
    EXPECT_NEAR(first.p3.y, bezierPoint(c, 0.25f).y, 1e-5f);

    // Splitting into the curve itself must use the original points throughout.
    Bezier same = c;
    bezierSplit(same, 0.5f, same, second);
    EXPECT_EQ(same.p0, c.p0);
    EXPECT_EQ(second.p3, c.p3);

    EXPECT_EQ(bezierRange(c, 0.25f, 0.75f), bezierRange(c, 0.75f, 0.25f));
    EXPECT_NEAR(bezierRange(c, 0.25f, 0.75f).p3.x, bezierPoint(c, 0.75f).x, 1e-5f);
    // A range that ends at 0 is the start point, not NaN.
    EXPECT_EQ(bezierRange(c, 0, 0), (Bezier{c.p0, c.p0, c.p0, c.p0}));
}

TEST(BezierTest, CrossingsAreFoundInOrderIncludingOneOnASample)
{
    float roots[3];
    // An S curve crossing x = 5 three times.
    const Bezier s{{0, 0}, {15, 1}, {-5, 2}, {10, 3}};
    ASSERT_EQ(bezierCrossings(s, Axis::X, 5, roots), 3);
    EXPECT_LT(roots[0], roots[1]);
    EXPECT_LT(roots[1], roots[2]);
    for (float t : roots)
        EXPECT_NEAR(bezierPoint(s, t).x, 5.0f, 1e-4f);

    ASSERT_EQ(bezierCrossings(kSymmetric, Axis::X, 0, roots), 1);
    EXPECT_EQ(roots[0], 0.5f);

    EXPECT_EQ(bezierCrossings(kSymmetric, Axis::X, 20, roots), 0);
    // The end points are not crossings, and neither is a coordinate that equals the value all along.
    EXPECT_EQ(bezierCrossings(kSymmetric, Axis::X, -10, roots), 0);
    EXPECT_EQ(bezierCrossings(kSymmetric, Axis::Y, 5, roots), 0);
}

TEST(BezierTest, CrossingsAreBitForBitThoseOfTheSampleBySampleScan)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(-1, 1);
    int withCrossings = 0;
    for (int n = 0; n < 3000; ++n) {
        // Curves from hundredths of a unit to a hundred thousand units, some of them on whole units.
        const float scale = std::pow(10.0f, static_cast<float>(n % 8 - 2));
        Bezier c;
        for (FPoint* p : {&c.p0, &c.p1, &c.p2, &c.p3}) {
            *p = FPoint{unit(random) * scale, unit(random) * scale};
            if (n % 3 == 0)
                *p = FPoint{std::round(p->x), std::round(p->y)};
        }
        float value = unit(random) * scale;
        if (n % 5 == 1)
            // Exactly on a sample, where the scan sees a zero.
            value = bezierPoint(c, static_cast<float>(n % 10001) / 10000.0f).x;
        else if (n % 5 == 2)
            // Touching the curve, where rounding makes the sign flicker.
            value = c.p1.x;
        float expected[3] = {};
        float got[3] = {};
        const int count = crossingsSampleBySample(c, value, expected);
        ASSERT_EQ(bezierCrossings(c, Axis::X, value, got), count) << n;
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(got[i], expected[i]) << n;
        withCrossings += count > 0 ? 1 : 0;
    }
    EXPECT_GT(withCrossings, 1000);
}

TEST(BezierTest, ClipInsideOutsideAndMissing)
{
    ClipPointList list;
    const Bezier inside{{1, 1}, {2, 8}, {8, 8}, {9, 1}};
    ASSERT_TRUE(clipBezier(inside, FRect{0, 0, 10, 10}, list));
    ASSERT_EQ(piecesOf(list), std::vector<Bezier>{inside});
    EXPECT_EQ(list[4], (FPoint{kClipListEnd, kClipListEnd}));

    // Box far away: false, and the list is not touched.
    list[0] = FPoint{1, 2};
    EXPECT_FALSE(clipBezier(inside, FRect{20, 20, 30, 30}, list));
    EXPECT_EQ(list[0], (FPoint{1, 2}));

    // The box meets the rectangle but the curve passes by it: true with no pieces.
    const Bezier arc{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    ASSERT_TRUE(clipBezier(arc, FRect{4, 0, 6, 5}, list));
    EXPECT_TRUE(piecesOf(list).empty());
}

TEST(BezierTest, ClipCurveLeavingAndComingBack)
{
    // From x = 0 out to about x = 15 and back to x = 0, clipped at x = 10.
    const Bezier c{{0, 0}, {20, 3}, {20, 7}, {0, 10}};
    ClipPointList list;
    ASSERT_TRUE(clipBezier(c, FRect{-5, -5, 10, 15}, list));
    const auto pieces = piecesOf(list);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].p0, c.p0);
    EXPECT_NEAR(pieces[0].p3.x, 10.0f, 1e-3f);
    EXPECT_NEAR(pieces[1].p0.x, 10.0f, 1e-3f);
    EXPECT_EQ(pieces[1].p3, c.p3);
    EXPECT_LT(pieces[0].p3.y, pieces[1].p0.y);
}

TEST(BezierTest, ClipCutsAtACrossingThatFallsOnASample)
{
    ClipPointList list;
    ASSERT_TRUE(clipBezier(kSymmetric, FRect{0, 0, 20, 20}, list));
    const auto pieces = piecesOf(list);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].p0, (FPoint{0, 5}));
    EXPECT_EQ(pieces[0].p3, kSymmetric.p3);
}
