#include "plotdata/CPlotPath.h"
#include "plotdata/CInvalidArgException.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::unique_ptr<CPlotPath> pathOf(const std::vector<PathItem>& items)
{
    auto path = std::make_unique<CPlotPath>();
    for (const PathItem& item : items)
        path->append(item);
    return path;
}

// An arch from (0, 0) to (10, 0) whose control points sit at height 10; the curve peaks at 7.5.
const std::vector<PathItem> kArch{{0, 0, 0x11}, {0, 10, 0x00}, {10, 10, 0x00}, {10, 0, 0x21}};

} // namespace

TEST(CPlotPathTest, StartsWith50ItemsDoublesWithTwoSpareItemsAndShrinksToFitAtTheEnd)
{
    CPlotPath path;
    EXPECT_EQ(path.append(PathItem{0, 0, 0x11}), 1u);
    EXPECT_EQ(path.capacity(), 50u);
    for (int i = 1; i < 50; ++i)
        path.append(PathItem{float(i), 0, 0x01});
    EXPECT_EQ(path.capacity(), 50u);
    EXPECT_EQ(path.append(PathItem{50, 0, 0x01}), 51u);
    EXPECT_EQ(path.capacity(), 100u);
    EXPECT_EQ(path.appendRaw(PathItem{0, 0, PI_END}), 52u);
    EXPECT_EQ(path.capacity(), 52u);
    EXPECT_EQ(path.item(50).x, 50.0f);
    EXPECT_EQ(path.extent, (FRect{0, 0, 50, 0}));

    CPlotPath longPath;
    for (int i = 0; i < 201; ++i)
        longPath.append(PathItem{float(i), 1, i == 0 ? uint8_t{0x11} : uint8_t{0x01}});
    EXPECT_EQ(longPath.capacity(), 400u);

    // Room made beforehand is used as it is, and the end still shrinks the storage to fit.
    CPlotPath reserved;
    reserved.reserve(3);
    EXPECT_EQ(reserved.capacity(), 3u);
    reserved.append(PathItem{0, 0, 0x11});
    reserved.append(PathItem{4, 2, 0x21});
    reserved.append(PathItem{0, 0, PI_END});
    EXPECT_EQ(reserved.capacity(), 3u);
    EXPECT_EQ(reserved.extent, (FRect{0, 0, 4, 2}));

    CPlotPath empty;
    empty.append(PathItem{0, 0, PI_END});
    EXPECT_EQ(empty.count(), 1u);
    EXPECT_EQ(empty.capacity(), 1u);
    EXPECT_TRUE(empty.extent.isZero());
}

TEST(CPlotPathTest, IndexOutsideTheItemsThrows)
{
    auto path = pathOf({{1, 2, 0x11}, {0, 0, PI_END}});
    EXPECT_EQ(path->item(1).flags, PI_END);
    EXPECT_THROW(path->item(2), CInvalidArgException);
    EXPECT_THROW(CPlotPath().item(0), std::invalid_argument);
}

TEST(CPlotPathTest, ExtentCountsAnchorsOnlyAndAPointAtTheOrigin)
{
    // Control points of a curve inside the box of its ends do not widen the extent.
    auto path = pathOf({{0, 0, 0x11}, {2, 3, 0x00}, {8, 7, 0x00}, {10, 10, 0x01}});
    EXPECT_EQ(path->extent, (FRect{0, 0, 10, 10}));

    // An anchor at (0, 0) is a point of the path like any other.
    path = pathOf({{0, 0, 0x11}, {0, 0, 0x01}, {10, 5, 0x01}});
    EXPECT_EQ(path->extent, (FRect{0, 0, 10, 5}));

    // appendRaw leaves the extent alone.
    CPlotPath raw;
    raw.appendRaw(PathItem{5, 5, 0x11});
    EXPECT_TRUE(raw.extent.isZero());
}

TEST(CPlotPathTest, CurveBulgingOutOfTheExtentIsSampled)
{
    auto path = pathOf(kArch);
    EXPECT_FLOAT_EQ(path->extent.left, 0.0f);
    EXPECT_FLOAT_EQ(path->extent.right, 10.0f);
    EXPECT_FLOAT_EQ(path->extent.top, 0.0f);
    EXPECT_NEAR(path->extent.bottom, 7.5f, 1e-5f); // the samples, not the control points at 10

    // An end flagged 0x31 is read as a curve end too, and its curve is sampled the same way.
    std::vector<PathItem> flagged = kArch;
    flagged[3].flags = 0x31;
    EXPECT_NEAR(pathOf(flagged)->extent.bottom, 7.5f, 1e-5f);
}

TEST(CPlotPathTest, CopyIsIndependentAndKeepsCountAndCapacity)
{
    auto path = pathOf(kArch);
    path->lineType = 0x0264;
    auto twin = path->copy();
    EXPECT_EQ(twin->capacity(), 50u);
    EXPECT_EQ(twin->extent, path->extent);
    EXPECT_EQ(twin->lineType, 0x0264);
    EXPECT_EQ(std::memcmp(twin->items(), path->items(), 4 * sizeof(PathItem)), 0);

    // The copy goes on growing on its own, with the same reading of the items before.
    twin->append(PathItem{20, -5, 0x01});
    EXPECT_EQ(path->count(), 4u);
    EXPECT_EQ(twin->extent.right, 20.0f);
    EXPECT_EQ(twin->extent.top, -5.0f);
}

TEST(CPlotPathTest, TransformMovesPointsOnlyAndRecomputesTheExtent)
{
    std::vector<PathItem> items = kArch;
    items.insert(items.begin() + 1, colorItem(0x00123456));
    items.push_back(PathItem{0, 0, PI_END});
    auto path = pathOf(items);
    path->transform(CMatrix::Translation(100, 50));
    EXPECT_EQ(path->item(0).x, 100.0f);
    EXPECT_EQ(itemColor(path->item(1)), 0x00123456u);
    EXPECT_EQ(path->item(5).x, 0.0f); // PI_END stays at zero
    EXPECT_EQ(path->extent.left, 100.0f);
    EXPECT_NEAR(path->extent.bottom, 57.5f, 1e-4f);

    // The first point sets the extent even when it is a control point.
    auto odd = pathOf({{-4, -4, 0x00}, {1, 1, 0x11}});
    odd->transform(CMatrix());
    EXPECT_EQ(odd->extent, (FRect{-4, -4, 1, 1}));
}

// Paths of straight lines take their extent from their anchors without the walk; whatever the items, the
// extent after a transform, or after taking a list of items whole, is the one appending them gives.
TEST(CPlotPathTest, TransformAndWholeListsGiveTheExtentOfAppending)
{
    const float nan = std::nanf("");
    const std::vector<std::vector<PathItem>> cases{
        {{5, 5, 0x11}, {-3, 8, 0x01}, colorItem(0x00FF0000), {9, -2, 0x21}, {1, 1, 0x11}, {2, 2, 0x21}},
        {{5, 5, 0x11}, {7, 6, 0x01}, {0, 10, 0x00}, {10, 10, 0x00}, {10, 0, 0x21}, {0, 0, PI_END}},
        {{nan, 1, 0x11}, {3, 4, 0x21}},
        {{1, 1, 0x11}, {nan, 4, 0x01}, {-2, 9, 0x21}},
    };
    const CMatrix turn = CMatrix::RotationAbout(0, 0, 30);
    for (std::size_t n = 0; n < cases.size(); ++n) {
        SCOPED_TRACE(n);
        std::vector<PathItem> turned = cases[n];
        for (PathItem& item : turned)
            if (!isSpecial(item)) {
                FPoint p{item.x, item.y};
                turn.TransformPoint(p);
                item.x = p.x;
                item.y = p.y;
            }
        const FRect expected = pathOf(turned)->extent;

        auto transformed = pathOf(cases[n]);
        transformed->transform(turn);
        CPlotPath whole;
        whole.assignItemsWithExtent(turned.data(), static_cast<uint32_t>(turned.size()));
        for (const FRect& got : {transformed->extent, whole.extent}) {
            // Compared bit for bit, NaN included.
            EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
                << got.left << " " << got.top << " " << got.right << " " << got.bottom;
        }
    }
}

TEST(CPlotPathTest, LinesAndDashes)
{
    auto line = CPlotPath::makeLine(1, 2, 3, 4);
    ASSERT_EQ(line->count(), 3u);
    EXPECT_EQ(line->item(0).flags, 0x11);
    EXPECT_EQ(line->item(1).flags, 0x21);
    EXPECT_EQ(line->item(2).flags, PI_END);
    EXPECT_EQ(line->capacity(), 3u);
    EXPECT_EQ(line->extent, (FRect{1, 2, 3, 4}));

    // Length exactly dash + gap: one dash and nothing more.
    auto dashed = CPlotPath::makeDashedLine(0, 0, 10, 0, 6, 4);
    ASSERT_EQ(dashed->count(), 3u);
    EXPECT_EQ(dashed->item(1).x, 6.0f);

    // Shorter than dash + gap: the whole line.
    dashed = CPlotPath::makeDashedLine(0, 0, 9, 0, 6, 4);
    ASSERT_EQ(dashed->count(), 3u);
    EXPECT_EQ(dashed->item(1).x, 9.0f);

    // A remainder shorter than a dash becomes a last dash ending exactly at the end.
    dashed = CPlotPath::makeDashedLine(0, 0, 0, 25, 6, 4);
    ASSERT_EQ(dashed->count(), 7u);
    EXPECT_EQ(dashed->item(2).y, 10.0f);
    EXPECT_EQ(dashed->item(3).y, 16.0f);
    EXPECT_EQ(dashed->item(4).y, 20.0f);
    EXPECT_EQ(dashed->item(5).y, 25.0f);
    EXPECT_EQ(dashed->item(5).flags, 0x21);
    EXPECT_EQ(dashed->extent, (FRect{0, 0, 0, 25}));
}

TEST(CPlotPathTest, DashesThatCannotAdvanceStillEnd)
{
    // No dash length or a negative gap: the whole line rather than a loop without end.
    EXPECT_EQ(CPlotPath::makeDashedLine(0, 0, 10, 0, 0, 0)->count(), 3u);
    EXPECT_EQ(CPlotPath::makeDashedLine(0, 0, 10, 0, 2, -1)->count(), 3u);

    // A dash far below the float resolution at this distance from the origin.
    auto fine = CPlotPath::makeDashedLine(10000, 0, 10010, 0, 1e-5f, 0);
    ASSERT_GE(fine->count(), 3u);
    EXPECT_EQ(fine->item(fine->count() - 2).x, 10010.0f);
    EXPECT_EQ(fine->item(fine->count() - 1).flags, PI_END);
}
