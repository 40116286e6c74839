#include "plotdata/SvgPreview.h"
#include "plotdata/CPlot.h"

#include "PlotPaths.h"

#include <gmock/gmock.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The elements a surface writes for the calls, with a budget of maxPoints and thinning at 4 units.
std::string drawn(const std::function<void(SvgSurface&)>& calls, std::size_t maxPoints = 1000)
{
    SvgSurface surface(maxPoints, 4);
    calls(surface);
    return surface.elements();
}

int attribute(const std::string& svg, const std::string& name)
{
    std::smatch match;
    if (!std::regex_search(svg, match, std::regex(" " + name + "=\"([0-9]+)\"")))
        return -1;
    return std::stoi(match[1]);
}

} // namespace

TEST(SvgSurfaceTest, WritesFiguresAsPathDataAndThinsPointsButKeepsEveryFiguresEnd)
{
    EXPECT_EQ(drawn([](SvgSurface& s) {
                  s.beginPath();
                  s.moveTo({0, 0});
                  s.lineTo({10, 0});
                  s.lineTo({20, 0});
                  s.bezierTo({30, 5}, {40, 5}, {50, 0});
                  s.strokePath();
              }),
              "<path stroke=\"#000000\" d=\"M0 0L10 0 20 0C30 5 40 5 50 0\"/>");
    // Points within the thinning of the last one written are left out, except the figure's last one; a
    // move nothing follows writes nothing.
    EXPECT_EQ(drawn([](SvgSurface& s) {
                  s.beginPath();
                  s.moveTo({0, 0});
                  s.lineTo({10, 0});
                  for (int x = 11; x < 30; ++x)
                      s.lineTo({x, 1});
                  s.moveTo({100, 100});
                  s.lineTo({101, 100});
                  s.lineTo({102, 100});
                  s.moveTo({500, 500});
                  s.strokePath();
              }),
              "<path stroke=\"#000000\" d=\"M0 0L10 0 14 1 18 1 22 1 26 1 29 1M100 100L101 100 102 100\"/>");
}

TEST(SvgSurfaceTest, PathsOfOneColourShareAnElementAndColoursAreWrittenAsRgb)
{
    EXPECT_EQ(
        drawn([](SvgSurface& s) {
            for (const std::uint32_t colour : {0x0000FFU, 0x0000FFU, 0x804020U}) {
                s.selectPen(CPen{PS_SOLID, 1, colour});
                s.beginPath();
                s.moveTo({0, 0});
                s.lineTo({10, 10});
                s.strokePath();
            }
        }),
        "<path stroke=\"#ff0000\" d=\"M0 0L10 10M0 0L10 10\"/><path stroke=\"#204080\" d=\"M0 0L10 10\"/>");
}

TEST(SvgSurfaceTest, StopsWritingWhenThePointBudgetIsSpent)
{
    SvgSurface surface(5, 1);
    surface.beginPath();
    surface.moveTo({0, 0});
    surface.lineTo({10, 0});
    surface.bezierTo({20, 5}, {30, 5}, {40, 0});
    // Two more points would be needed for this curve: none of it is written, nor anything after it.
    surface.bezierTo({50, 5}, {60, 5}, {70, 0});
    surface.lineTo({80, 0});
    surface.strokePath();
    EXPECT_EQ(surface.elements(), "<path stroke=\"#000000\" d=\"M0 0L10 0C20 5 30 5 40 0\"/>");
    EXPECT_EQ(surface.points(), 5U);
    EXPECT_TRUE(surface.cutShort());
}

TEST(SvgPreviewTest, FitsThePlotIntoTheLimitsWithItsYAxisUpwards)
{
    CPlot plot;
    // 200 mm long, 50 mm across: a line along the bottom edge and one up the right edge.
    plot.add(pathOf({move(0, 0), line(200, 0), line(200, 50)}, 12));
    const SvgPreview preview =
        svgPreview(plot, SvgPreviewLimits{.width = 404, .height = 300, .maxPoints = 100});
    // 400 pixels for 200 mm leave 100 for 50 mm, with 2 pixels of margin on each side; 4 units a pixel.
    EXPECT_EQ(attribute(preview.svg, "width"), 404);
    EXPECT_EQ(attribute(preview.svg, "height"), 104);
    EXPECT_THAT(preview.svg, HasSubstr("viewBox=\"0 0 1616 416\""));
    // The bottom of the plot is the bottom of the picture.
    EXPECT_THAT(preview.svg, HasSubstr("<path stroke=\"#ff0000\" d=\"M8 408L1608 408 1608 8\"/>"));
    EXPECT_EQ(preview.points, 3U);
    EXPECT_FALSE(preview.cutShort);

    // A single dot still makes a picture of its own size.
    CPlot dot;
    dot.add(pathOf({move(5, 5), line(5, 5)}, 12));
    const SvgPreview small = svgPreview(dot, SvgPreviewLimits{});
    EXPECT_EQ(attribute(small.svg, "width"), 5);
    EXPECT_EQ(attribute(small.svg, "height"), 5);
}

TEST(SvgPreviewTest, AHugePlotGivesABoundedPictureQuickly)
{
    // Two million points zigzagging across the whole plot, in paths of 10,000 points: after thinning most
    // of them are still points of their own, so the budget decides.
    CPlot plot;
    for (int part = 0; part < 200; ++part) {
        std::vector<PathItem> items{move(0, 0)};
        for (int i = 1; i < 10000; ++i)
            items.push_back(line(float((i * 37 + part) % 1000), float((i * 53) % 700)));
        plot.add(pathOf(items, 12 + part % 3));
    }
    const auto start = std::chrono::steady_clock::now();
    const SvgPreview preview =
        svgPreview(plot, SvgPreviewLimits{.width = 320, .height = 200, .maxPoints = 20000});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(preview.cutShort);
    EXPECT_EQ(preview.points, 20000U);
    EXPECT_EQ(attribute(preview.svg, "data-points"), 20000);
    // Each point is two numbers of at most four digits.
    EXPECT_LT(preview.svg.size(), 20000U * 10 + 1000);
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_THAT(preview.svg, Not(HasSubstr("nan")));
}
