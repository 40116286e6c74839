#include "plotdata/CPlot.h"
#include "plotdata/DrawingSurface.h"

#include "PlotPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Writes down every call, one word per call; pens as their 0x00BBGGRR colour.
class RecordingSurface : public DrawingSurface {
public:
    std::ostringstream out;
    CPen pen{PS_SOLID, 1, 0xABCDEF};

    void beginPath() override { out << "begin "; }
    void moveTo(IPoint p) override { out << "M" << p.x << ',' << p.y << ' '; }
    void lineTo(IPoint p) override { out << "L" << p.x << ',' << p.y << ' '; }
    void bezierTo(IPoint a, IPoint b, IPoint c) override
    {
        out << "B" << a.x << ',' << a.y << '|' << b.x << ',' << b.y << '|' << c.x << ',' << c.y << ' ';
    }
    CPen selectPen(const CPen& p) override
    {
        out << "pen" << hex(p.colour) << ' ';
        const CPen old = pen;
        pen = p;
        return old;
    }
    void strokePath() override { out << "stroke" << hex(pen.colour) << ' '; }

    static std::string hex(uint32_t colour)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", colour);
        return text;
    }
};

// The calls for one path; pen 39 is beyond the palette, so the surface's own pen strokes it.
std::string draw(const std::vector<PathItem>& items, const IRect* clip = nullptr, const CMatrix* m = nullptr,
                 int pen = 39)
{
    RecordingSurface surface;
    pathOf(items, pen)->draw(surface, m, clip);
    return surface.out.str();
}

constexpr PathItem control(float x, float y) { return PathItem{x, y, 0x00}; }

} // namespace

TEST(PathDrawingTest, SegmentsBecomeSurfaceCallsOfTruncatedPointsAndSmallCurvesThinOut)
{
    EXPECT_EQ(draw({move(0, 0), line(10, 0), control(12, 5), control(18, 5), line(20, 0)}),
              "begin M0,0 L10,0 B12,5|18,5|20,0 strokeABCDEF ");
    // A line to the same pixel is skipped; so is a curve on one pixel. A curve whose box is 1 by 1
    // (s = 2) is a line; 2 by 1 (s = 3) is a curve again.
    EXPECT_EQ(draw({move(5, 5), line(5.9f, 5.5f), control(5, 5), control(5, 5), line(5, 5), control(6, 5),
                    control(6, 6), line(6, 6), control(8, 6), control(8, 6), line(8, 7)}),
              "begin M5,5 L6,6 B8,6|8,6|8,7 strokeABCDEF ");
    EXPECT_EQ(draw({}), "begin strokeABCDEF ");
    RecordingSurface untouched;
    CPlotPath().draw(untouched, nullptr, nullptr);
    EXPECT_EQ(untouched.out.str(), "");

    // Points are truncated toward zero; the identity is not applied at all.
    const std::vector<PathItem> items{move(-1.7f, 2.9f), line(9.99f, -0.5f)};
    const CMatrix identity;
    EXPECT_EQ(draw(items), "begin M-1,2 L9,0 strokeABCDEF ");
    EXPECT_EQ(draw(items, nullptr, &identity), draw(items));
    const CMatrix twice = CMatrix::Scale(2, 2);
    EXPECT_EQ(draw(items, nullptr, &twice), "begin M-3,5 L19,-1 strokeABCDEF ");
    // No move-to first: the surface is moved to the start before the first line.
    EXPECT_EQ(draw({line(3, 4), line(6, 8)}), "begin M3,4 L6,8 strokeABCDEF ");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float huge = 3e38f;
    const IRect clip{0, 0, 100, 100};
    // Coordinates with no integer form become the lowest integer; boxes measured from there stay exact.
    EXPECT_EQ(draw({move(huge, -huge), line(nan, 1), line(-huge, 1), control(huge, huge), control(-huge, 0),
                    line(1, 1)},
                   &clip),
              "begin M-2147483648,1 B-2147483648,-2147483648|-2147483648,0|1,1 strokeABCDEF ");
}

TEST(PathDrawingTest, StrokesOnceWithTheLastPenAndPutsThePreviousOneBack)
{
    const std::vector<PathItem> items{move(0, 0), line(4, 0)};
    // Palette entry 38 (254, 78, 18); only the low 16 bits of the pen number count.
    EXPECT_EQ(draw(items, nullptr, nullptr, 38), "begin pen124EFE M0,0 L4,0 stroke124EFE penABCDEF ");
    EXPECT_EQ(draw(items, nullptr, nullptr, 0x50000 | 12),
              "begin pen0000FF M0,0 L4,0 stroke0000FF penABCDEF ");
    // Two colour items: the whole path in the second.
    EXPECT_EQ(draw({move(0, 0), colorItem(0x00FF00), line(4, 0), colorItem(0x112233), line(4, 4)}, nullptr,
                   nullptr, 9),
              "begin penFF0000 M0,0 pen00FF00 L4,0 pen112233 L4,4 stroke112233 penABCDEF ");
    // A pen beyond the palette keeps the surface's pen, unless a colour item replaces it.
    EXPECT_EQ(draw({move(0, 0), colorItem(0x0000FF), line(4, 0)}, nullptr, nullptr, 40),
              "begin M0,0 pen0000FF L4,0 stroke0000FF penABCDEF ");
}

TEST(PathDrawingTest, ClipRectangleLeavesOutWhatCannotShowAndMovesBeforeItComesBack)
{
    const IRect clip{0, 0, 100, 100};
    // Out of the rectangle and back: no line across the part left out; the first segment that meets the
    // rectangle again starts with a move to its start.
    EXPECT_EQ(
        draw({move(10, 10), line(50, 10), line(500, 10), line(500, 500), line(500, 50), line(50, 50)}, &clip),
        "begin M10,10 L50,10 L500,10 M500,50 L50,50 strokeABCDEF ");
    // A move-to outside followed by a line that crosses in: drawn from the move-to point.
    EXPECT_EQ(draw({move(-50, 50), line(50, 50)}, &clip), "begin M-50,50 L50,50 strokeABCDEF ");
    // A segment's box is grown by one pixel before the test, and the rectangle's right and bottom edges
    // lie outside it: a segment on the right edge meets it, one a pixel further out or left of it does not.
    EXPECT_EQ(draw({move(100, 5), line(120, 5), move(101, 5), line(120, 5), move(5, 101), line(5, 120),
                    move(-1, 5), line(-1, 50)},
                   &clip),
              "begin M100,5 L120,5 strokeABCDEF ");
    // Curves are tested by their box, grown like a line's: a flat curve along a row still shows.
    EXPECT_EQ(draw({move(200, 0), control(150, 10), control(120, 20), line(150, 30), control(90, 30),
                    control(70, 30), line(50, 30)},
                   &clip),
              "begin M150,30 B90,30|70,30|50,30 strokeABCDEF ");
    // Moves inside the rectangle are made even when nothing follows them.
    EXPECT_EQ(draw({move(1, 1), move(2, 2)}, &clip), "begin M1,1 M2,2 strokeABCDEF ");
}

TEST(PathDrawingTest, PlotDrawsItsPathsThroughThePendingTransformThenTheExtraOne)
{
    CPlot plot;
    plot.add(pathOf({move(1, 1), line(2, 1)}, 12));
    plot.add(pathOf({move(3, 3), line(3, 4)}, 9));
    plot.applyTransform(CMatrix::Scale(10, 10));
    const CMatrix extra = CMatrix::Translation(5, 0);
    RecordingSurface surface;
    plot.draw(surface, &extra, nullptr);
    EXPECT_EQ(surface.out.str(), "begin pen0000FF M15,10 L25,10 stroke0000FF penABCDEF "
                                 "begin penFF0000 M35,30 L35,40 strokeFF0000 penABCDEF ");
    RecordingSurface plain;
    plot.draw(plain, nullptr, nullptr);
    EXPECT_EQ(plain.out.str().substr(0, 30), "begin pen0000FF M10,10 L20,10 ");
}
