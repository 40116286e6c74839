#include "output/SectionExtraction.h"

#include "PathBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Item {
    float x;
    float y;
    int flags;
    bool operator==(const Item&) const = default;
};

std::vector<Item> itemsOf(const CPlotPath& path)
{
    std::vector<Item> items;
    for (uint32_t i = 0; i < path.count(); ++i)
        items.push_back({path.item(i).x, path.item(i).y, path.item(i).flags});
    return items;
}

std::unique_ptr<CPlot> plotOf(std::unique_ptr<CPlotPath> path)
{
    auto plot = std::make_unique<CPlot>();
    plot->add(std::move(path));
    return plot;
}

// The window of every test: x 0 .. 100, y 0 .. 50.
std::unique_ptr<CPlot> extract(const CPlot& plot) { return extractSection(plot, 0, 0, 100, 50); }

TEST(SectionExtractionTest, PathTouchingTheBorderFromInsideIsCopiedWhole)
{
    auto source =
        makePath({colorItem(0x0000FF), moveItem(0, 0), lineItem(100, 50), endItem(50, 0)}, 3, 0x0264);
    auto section = extract(*plotOf(std::move(source)));
    ASSERT_TRUE(section);
    ASSERT_EQ(section->count(), 1);
    const CPlotPath& path = section->at(0);
    EXPECT_EQ(path.pen, 3);
    EXPECT_EQ(path.lineType, 0x0264);
    ASSERT_EQ(path.count(), 5u);
    EXPECT_EQ(path.item(0).flags, PI_COLOR);
    EXPECT_EQ(itemColor(path.item(0)), 0x0000FFu);
    const std::vector<Item> items = itemsOf(path);
    EXPECT_EQ(std::vector<Item>(items.begin() + 1, items.end()),
              (std::vector<Item>{{0, 0, 0x11}, {100, 50, 0x01}, {50, 0, 0x21}, {0, 0, PI_END}}));
}

TEST(SectionExtractionTest, PathWhoseSegmentsMissTheWindowGivesNoSection)
{
    // The extent covers the window's corner, the line passes beside it.
    auto plot = plotOf(makePath({moveItem(90, -20), lineItem(130, 20)}));
    EXPECT_FALSE(extract(*plot));
    EXPECT_FALSE(extract(*plotOf(makePath({moveItem(200, 10), lineItem(300, 10)}))));
}

TEST(SectionExtractionTest, CurveLeavingAndReenteringBecomesTwoPaths)
{
    // Starts inside, bulges out beyond the top edge (y < 0) and comes back in.
    auto plot = plotOf(makePath(
        {moveItem(10, 10), lineItem(20, 10), controlItem(30, -30), controlItem(70, -30), lineItem(80, 10)}));
    auto section = extract(*plot);
    ASSERT_TRUE(section);
    ASSERT_EQ(section->count(), 2);

    // The first piece continues the path the curve started in: line, then the curve up to the border.
    const std::vector<Item> first = itemsOf(section->at(0));
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first[0], (Item{10, 10, 0x11}));
    EXPECT_EQ(first[1], (Item{20, 10, 0x01}));
    EXPECT_EQ(first[2].flags, 0);
    EXPECT_EQ(first[3].flags, 0);
    EXPECT_EQ(first[4].flags, 0x01);
    EXPECT_NEAR(first[4].y, 0.0f, 1e-3);

    // The second starts on the border and ends at the curve's own end.
    const std::vector<Item> second = itemsOf(section->at(1));
    ASSERT_EQ(second.size(), 5u);
    EXPECT_EQ(second[0].flags, 0x11);
    EXPECT_NEAR(second[0].y, 0.0f, 1e-3);
    EXPECT_NEAR(second[3].x, 80.0f, 1e-3);
    EXPECT_NEAR(second[3].y, 10.0f, 1e-3);
    EXPECT_EQ(second[3].flags, 0x01);
    EXPECT_EQ(second[4].flags, PI_END);
    EXPECT_GT(second[0].x, first[4].x);
}

TEST(SectionExtractionTest, CurveWhollyInsideAnOtherwiseCrossingPathIsKeptAsItIs)
{
    auto plot = plotOf(makePath(
        {moveItem(-10, 10), lineItem(10, 10), controlItem(20, 20), controlItem(30, 20), lineItem(40, 10)}));
    auto section = extract(*plot);
    ASSERT_TRUE(section);
    ASSERT_EQ(section->count(), 1);
    EXPECT_EQ(
        itemsOf(section->at(0)),
        (std::vector<Item>{
            {0, 10, 0x11}, {10, 10, 0x01}, {20, 20, 0x00}, {30, 20, 0x00}, {40, 10, 0x01}, {0, 0, PI_END}}));
}

std::unique_ptr<CPlot> plotWithLeftEdges(const std::vector<float>& edges)
{
    auto plot = std::make_unique<CPlot>();
    for (float x : edges)
        plot->add(makePath({moveItem(x, 0), lineItem(x + 1, 1)}));
    return plot;
}

std::vector<float> leftEdges(const CPlot& plot)
{
    std::vector<float> edges;
    for (int i = 0; i < plot.count(); ++i)
        edges.push_back(plot.at(i).extent.left);
    return edges;
}

// Ordered and reversed input would make the plain split quadratic; the large cases finish at once.
TEST(SortByLeftEdgeTest, PlotsOfAnyOrderAndSizeAreOrderedByLeftEdge)
{
    constexpr int kPaths = 30000;
    std::vector<float> ordered(kPaths);
    for (int i = 0; i < kPaths; ++i)
        ordered[i] = static_cast<float>(i);
    const std::vector<float> reversed(ordered.rbegin(), ordered.rend());
    const std::vector<float> equal(kPaths, 5.0f);
    std::vector<float> shuffled = ordered;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));

    for (const std::vector<float>& edges : {std::vector<float>{30, 10, 20},
                                            {5, 5, 3},
                                            {2, 1},
                                            {1},
                                            {},
                                            {4, 4, 4, 1, 4},
                                            ordered,
                                            reversed,
                                            equal,
                                            shuffled}) {
        SCOPED_TRACE(edges.size());
        auto plot = plotWithLeftEdges(edges);
        sortByLeftEdge(*plot);
        std::vector<float> expected = edges;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(leftEdges(*plot), expected);
    }
}

TEST(SortByLeftEdgeTest, PathsWithoutANumberAsLeftEdgeGoLast)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto plot = plotWithLeftEdges({3, 1, 2, 0});
    plot->at(1).extent.left = nan;
    sortByLeftEdge(*plot);
    const std::vector<float> result = leftEdges(*plot);
    EXPECT_EQ(std::vector<float>(result.begin(), result.begin() + 3), (std::vector<float>{0, 2, 3}));
    EXPECT_TRUE(std::isnan(result[3]));
}

} // namespace
