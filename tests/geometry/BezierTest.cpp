#include "geometry/Bezier.h"

#include <gtest/gtest.h>

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
