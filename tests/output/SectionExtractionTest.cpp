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

// Paths of lines and curves scattered over 0 .. 1000 by 0 .. 600 in no order, some short, some long (of
// many figures), one whose extent is not a number and one with a point that is not a number.
std::unique_ptr<CPlot> scatteredPlot()
{
    std::mt19937 random(3);
    std::uniform_real_distribution<float> x(0, 1000), y(0, 600), step(-40, 40);
    auto plot = std::make_unique<CPlot>();
    for (int p = 0; p < 120; ++p) {
        auto path = std::make_unique<CPlotPath>();
        path->pen = p % 4;
        float px = x(random);
        float py = y(random);
        path->append(moveItem(px, py));
        const int segments = p % 10 == 0 ? 100 : 1 + p % 6;
        for (int s = 0; s < segments; ++s) {
            if (s % 3 == 2) {
                path->append(controlItem(px + step(random), py + step(random)));
                path->append(controlItem(px + step(random), py + step(random)));
            }
            px = std::clamp(px + step(random) * (p % 10 == 0 ? 5 : 1), 0.0f, 1000.0f);
            py = std::clamp(py + step(random), 0.0f, 600.0f);
            path->append(s % 7 == 6 ? moveItem(px, py) : lineItem(px, py));
        }
        path->appendRaw({0, 0, PI_END});
        plot->add(std::move(path));
    }
    plot->at(17).extent.left = std::numeric_limits<float>::quiet_NaN();
    plot->at(30).item(40).y = std::numeric_limits<float>::quiet_NaN();
    return plot;
}

void expectSameSection(const CPlot* expected, const CPlot* actual)
{
    ASSERT_EQ(expected == nullptr, actual == nullptr);
    if (expected == nullptr)
        return;
    ASSERT_EQ(expected->count(), actual->count());
    for (int i = 0; i < expected->count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(itemsOf(expected->at(i)), itemsOf(actual->at(i)));
        EXPECT_EQ(expected->at(i).extent, actual->at(i).extent);
        EXPECT_EQ(expected->at(i).pen, actual->at(i).pen);
    }
    EXPECT_EQ(expected->extent, actual->extent);
}

// The run cuts sections along two bands, then starts a copy over; windows also step back and shrink.
TEST(SectionCutterTest, EveryWindowGivesWhatExtractSectionGives)
{
    const auto plot = scatteredPlot();
    CSectionCutter cutter(*plot);
    std::vector<FRect> windows;
    for (int copy = 0; copy < 2; ++copy) {
        for (float y0 : {0.0f, 300.0f}) {
            for (float x0 = 0; x0 < 1000; x0 += 70)
                windows.push_back({x0, y0, x0 + 80, y0 + 300});
        }
    }
    windows.insert(windows.end(),
                   {{500, 0, 520, 600}, {200, 0, 900, 600}, {0, 0, 2000, 600}, {100, 0, 150, 600}});
    int withPaths = 0;
    for (const FRect& w : windows) {
        SCOPED_TRACE(testing::Message() << w.left << ", " << w.top);
        const auto expected = extractSection(*plot, w.left, w.top, w.right, w.bottom);
        withPaths += expected ? 1 : 0;
        expectSameSection(expected.get(), cutter.extract(w.left, w.top, w.right, w.bottom).get());
    }
    EXPECT_GT(withPaths, 40);
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
