#include "geometry/Rect.h"
#include "geometry/Segment.h"
#include "geometry/Truncate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(RectTest, SharedEdgesAreInsideAndTouchingIsNotOutside)
{
    const FRect r{0, 0, 10, 10};
    EXPECT_TRUE(r.liesInside(0, 0, 10, 10));
    EXPECT_TRUE((FRect{0, 2, 5, 10}).liesInside(0, 0, 10, 10));
    EXPECT_FALSE((FRect{-0.5f, 2, 5, 8}).liesInside(0, 0, 10, 10));

    EXPECT_FALSE((FRect{10, 0, 20, 10}).liesOutside(0, 0, 10, 10)); // touches the right edge
    EXPECT_FALSE((FRect{0, -5, 10, 0}).liesOutside(0, 0, 10, 10));  // touches the top edge
    EXPECT_TRUE((FRect{10.5f, 0, 20, 10}).liesOutside(0, 0, 10, 10));
    EXPECT_TRUE((FRect{0, 11, 10, 20}).liesOutside(0, 0, 10, 10));
}

TEST(SegmentTest, PointLineDistanceOfUprightFlatAndSlopedLines)
{
    EXPECT_FLOAT_EQ(pointLineDistance(FPoint{1, 0}, FPoint{1, 10}, FPoint{5, 7}), 4.0f);
    EXPECT_FLOAT_EQ(pointLineDistance(FPoint{0, 2}, FPoint{10, 2}, FPoint{5, 7}), 5.0f);
    // The diagonal y = x: (4, 0) lies 4 / sqrt(2) away.
    EXPECT_NEAR(pointLineDistance(FPoint{0, 0}, FPoint{2, 2}, FPoint{4, 0}), 2.8284271f, 1e-5f);
}

TEST(SegmentTest, BoxMeetsIncludesTouchingAndNormalisesTheRectangle)
{
    FRect overlap;
    EXPECT_TRUE(segmentBoxMeets(FPoint{-5, 5}, FPoint{5, 15}, FRect{20, 20, 0, 0}, &overlap));
    EXPECT_EQ(overlap, (FRect{0, 5, 5, 15}));
    EXPECT_TRUE(segmentBoxMeets(FPoint{-5, 0}, FPoint{0, -5}, FRect{0, 0, 20, 20}));
    EXPECT_FALSE(segmentBoxMeets(FPoint{-5, 1}, FPoint{-0.1f, 30}, FRect{0, 0, 20, 20}));
}

TEST(SegmentTest, ClipSegmentMovesOutsideEndsOntoTheEdges)
{
    const FRect r{0, 0, 20, 20};

    FPoint p{-10, 5}, q{10, 5};
    ASSERT_TRUE(clipSegment(p, q, r));
    EXPECT_EQ(p, (FPoint{0, 5}));
    EXPECT_EQ(q, (FPoint{10, 5}));

    // Through the rectangle with both ends outside, on opposite sides.
    p = {-10, 10};
    q = {30, 10};
    ASSERT_TRUE(clipSegment(p, q, r));
    EXPECT_EQ(p, (FPoint{0, 10}));
    EXPECT_EQ(q, (FPoint{20, 10}));

    // An end left of and above the rectangle: through the corner, then across the top edge when the
    // left edge is missed.
    p = {-5, -10};
    q = {5, 10};
    ASSERT_TRUE(clipSegment(p, q, r));
    EXPECT_EQ(p, (FPoint{0, 0}));
    EXPECT_EQ(q, (FPoint{5, 10}));
    p = {-1, -10};
    q = {9, 10};
    ASSERT_TRUE(clipSegment(p, q, r));
    EXPECT_EQ(p, (FPoint{4, 0}));
}

TEST(SegmentTest, ClipSegmentMissingTheRectangleChangesNothing)
{
    const FRect r{0, 0, 20, 20};
    FPoint p{-10, -10}, q{-5, 30};
    EXPECT_FALSE(clipSegment(p, q, r));
    EXPECT_EQ(p, (FPoint{-10, -10}));
    EXPECT_EQ(q, (FPoint{-5, 30}));

    // Both ends left of the rectangle: the line through them would meet the left edge beyond the
    // segment, which is no part of it.
    p = {-10, 5};
    q = {-5, 6};
    EXPECT_FALSE(clipSegment(p, q, r));
    EXPECT_EQ(p, (FPoint{-10, 5}));

    // A vertical segment beside the rectangle.
    p = {-1, -5};
    q = {-1, 25};
    EXPECT_FALSE(clipSegment(p, q, r));

    // Cutting past a corner.
    p = {-10, 5};
    q = {5, -10};
    EXPECT_FALSE(clipSegment(p, q, r));
}

TEST(TruncateTest, TowardZeroAndDefinedOutsideTheRange)
{
    EXPECT_EQ(truncToInt(-0.5f), 0);
    EXPECT_EQ(truncToInt(-1.9f), -1);
    EXPECT_EQ(truncToInt(2.9f), 2);
    EXPECT_EQ(truncToInt(std::numeric_limits<float>::quiet_NaN()), INT32_MIN);
    EXPECT_EQ(truncToInt(3e9f), INT32_MIN);
    EXPECT_EQ(truncToInt(-2147483648.0f), INT32_MIN);
}
