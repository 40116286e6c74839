#include "plotdata/CPlot.h"
#include "plotdata/CInvalidArgException.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::unique_ptr<CPlotPath> lineFrom(float x, float y, float length = 10)
{
    return CPlotPath::makeLine(x, y, x + length, y + length);
}

} // namespace

TEST(CPlotTest, AddReplacesTheExtentFirstThenWidensIt)
{
    CPlot plot;
    plot.extent = FRect{-100, -100, 100, 100};
    EXPECT_EQ(plot.add(lineFrom(5, 5)), 0);
    EXPECT_EQ(plot.extent, (FRect{5, 5, 15, 15}));
    EXPECT_EQ(plot.add(lineFrom(-3, 20)), 1);
    EXPECT_EQ(plot.extent, (FRect{-3, 5, 15, 30}));
    EXPECT_EQ(plot.add(nullptr), -1);
    EXPECT_EQ(plot.count(), 2);
}

TEST(CPlotTest, PendingTransformIsBakedBeforeAnAdd)
{
    CPlot plot;
    plot.add(lineFrom(0, 0));
    plot.applyTransform(CMatrix::Translation(100, 0));
    EXPECT_EQ(plot.at(0).item(0).x, 0.0f); // not yet applied to the points
    EXPECT_EQ(plot.extent, (FRect{100, 0, 110, 10}));

    plot.add(lineFrom(0, 0));
    EXPECT_TRUE(plot.transform.IsIdentity());
    EXPECT_EQ(plot.at(0).item(0).x, 100.0f);
    EXPECT_EQ(plot.at(1).item(0).x, 0.0f);
    EXPECT_EQ(plot.extent, (FRect{0, 0, 110, 10}));
}

TEST(CPlotTest, ApplyTransformChainsAndBakeAppliesIt)
{
    CPlot plot;
    plot.add(lineFrom(0, 0, 10));
    plot.add(lineFrom(20, 0, 5));
    plot.applyTransform(CMatrix::Scale(2, 2));
    plot.applyTransform(CMatrix::RotationAbout(0, 0, 90));
    EXPECT_EQ(plot.extent, (FRect{-20, 0, 0, 50}));
    plot.bake();
    EXPECT_TRUE(plot.transform.IsIdentity());
    EXPECT_EQ(plot.extent, (FRect{-20, 0, 0, 50}));
    EXPECT_EQ(plot.at(1).extent, (FRect{-10, 40, 0, 50}));

    // With no paths, bake resets the transform and keeps the extent.
    CPlot empty;
    empty.extent = FRect{1, 2, 3, 4};
    empty.applyTransform(CMatrix::Translation(1, 1));
    empty.bake();
    EXPECT_TRUE(empty.transform.IsIdentity());
    EXPECT_EQ(empty.extent, (FRect{2, 3, 4, 5}));
}

TEST(CPlotTest, CopyDropsTransformExtentAndTag)
{
    CPlot empty;
    EXPECT_EQ(empty.copy(), nullptr);

    CPlot plot;
    plot.tag = 77;
    plot.add(lineFrom(1, 1));
    plot.at(0).pen = 4;
    plot.applyTransform(CMatrix::Translation(5, 5));
    auto twin = plot.copy();
    ASSERT_NE(twin, nullptr);
    ASSERT_EQ(twin->count(), 1);
    EXPECT_TRUE(twin->extent.isZero());
    EXPECT_TRUE(twin->transform.IsIdentity());
    EXPECT_EQ(twin->tag, 0u);
    EXPECT_EQ(twin->at(0).pen, 4);
    EXPECT_EQ(twin->at(0).item(0).x, 1.0f);
    EXPECT_NE(&twin->at(0), &plot.at(0));
}

TEST(CPlotTest, IndicesOutsideThePathArrayThrow)
{
    CPlot plot;
    plot.add(lineFrom(0, 0));
    EXPECT_THROW(plot.at(1), CInvalidArgException);
    EXPECT_THROW(plot.at(-1), CInvalidArgException);
    EXPECT_THROW(plot.swap(0, 1), CInvalidArgException);
    EXPECT_THROW(plot.partitionByLeft(0, 3, 100), CInvalidArgException);
    plot.clear();
    EXPECT_EQ(plot.count(), 0);
    EXPECT_TRUE(plot.extent.isZero());
}

TEST(CPlotTest, PartitionByLeftSplitsAtThePivot)
{
    CPlot mixed;
    for (float x : {5.0f, 1.0f, 7.0f, 2.0f, 9.0f, 3.0f})
        mixed.add(lineFrom(x, 0));
    const int split = mixed.partitionByLeft(0, 5, 5);
    EXPECT_EQ(split, 3);
    for (int i = 0; i < mixed.count(); ++i)
        EXPECT_EQ(mixed.at(i).extent.left < 5, i < split) << i;

    EXPECT_EQ(mixed.partitionByLeft(4, 4, 0), 4);

    // Extents from outside may hold NaN; the partition still ends.
    CPlot odd;
    for (float x : {NAN, 1.0f, NAN, 4.0f})
        odd.add(lineFrom(x, 0));
    const int end = odd.partitionByLeft(0, 3, NAN);
    EXPECT_GE(end, 0);
    EXPECT_LE(end, 3);
    mixed.swap(0, 5);
    EXPECT_EQ(mixed.at(5).extent.left, 3.0f);
}
