#include "ImportModule.h"

#include "plotdata/CPlot.h"
#include "plotdata/DrawingSurface.h"
#include "plotdata/PlotBlock.h"

#include <cmath>
#include <memory>
#include <utility>

// What real producers write beyond plain drawing: pages, fonts and their symbol sets, line patterns
// and pen colours.
namespace {

class ImportProducers : public ImportModuleTest {
protected:
    static float width(const Block& b) { return b.extent[2] - b.extent[0]; }
    static float height(const Block& b) { return b.extent[3] - b.extent[1]; }

    // The pen-down pieces of the first path as (from x, to x) in millimetres, for lines along x.
    static std::vector<std::pair<float, float>> dashes(const Block& b)
    {
        std::vector<std::pair<float, float>> pieces;
        for (const BlockItem& item : pointsOf(b)) {
            if ((item.flags & 0x70) == 0x10)
                pieces.emplace_back(item.x, item.x);
            else if (!pieces.empty())
                pieces.back().second = item.x;
        }
        return pieces;
    }
};

TEST_F(ImportProducers, PagesArePlacedOneAfterAnotherAlongX)
{
    // An L drawn over two pages: the second page starts 10 mm after the first one's right edge. A page
    // eject with nothing after it, or several in a row, adds nothing.
    for (const char* text :
         {"IN;SP1;PA0,0;PD1000,0;PG;PA0,0;PD0,1000;PG;", "IN;SP1;PA0,0;PD1000,0;PG;PG1;PA0,0;PD0,1000;PG;PG;",
          "\x1b%1BIN;SP1;PA0,0;PD1000,0;\x1b%0A\x1b&l0H\x1b%1BPA0,0;PD0,1000;\x1b%0A\x1b&l0H",
          "\x1b"
          "E\x1b%1BIN;SP1;PA0,0;PD1000,0;\x1b%0A\x1b"
          "E\x1b%1BIN;SP1;PA0,0;PD0,1000;\x1b%0A\x1b"
          "E"}) {
        SCOPED_TRACE(text);
        Block b = read(text);
        ASSERT_EQ(b.paths.size(), 2u);
        expectItems(pointsOf(b), {{0, 0, 0x11}, {25, 0, 0x21}, {35, 0, 0x11}, {35, 25, 0x21}});
        EXPECT_FLOAT_EQ(width(b), 35);
    }
    // A page placed by its own left edge, wherever on its page it was drawn; its paths keep their
    // colours, extents and shapes, curves included.
    Block b = read("SP1;PA0,0;PD400,0;PG;PC2,0,0,255;SP2;PA4000,400;PD4000,800;BZ4400,800,4400,400,4000,400;"
                   "PG;SP1;PA-4000,0;PD-3600,0;");
    ASSERT_EQ(b.paths.size(), 3u);
    EXPECT_FLOAT_EQ(b.paths[1].extent[0], 20);
    EXPECT_EQ(colourOf(b.paths[1]), 0x0000FF);
    EXPECT_NEAR(b.paths[2].extent[0], b.paths[1].extent[2] + 10, 1e-4);
    EXPECT_NEAR(width(b), 10 + 10 + 7.5 + 10 + 10, 1e-3);
}

TEST_F(ImportProducers, LabelsReadRoman8WhereTheFileSelectsIt)
{
    // Roman-8's 0xF6 is a long dash, not Latin-1's o with diaeresis: chosen by SD, by CS, or as the
    // default of HP-GL/2 (BP, or entered from PCL). Plain HP-GL keeps reading such bytes as Latin-1.
    const std::vector<BlockItem> roman8 = pointsOf(read("IN;SP1;SD1,277;SS;PA1000,1000;LB\xf6\x03"));
    const std::vector<BlockItem> latin1 = pointsOf(read("IN;SP1;PA1000,1000;LB\xf6\x03"));
    ASSERT_EQ(roman8.size(), 2u) << "one horizontal stroke";
    EXPECT_FLOAT_EQ(roman8[0].y, roman8[1].y);
    EXPECT_GT(latin1.size(), 10u) << "an o and its diaeresis";
    for (const char* text : {"IN;SP1;CS277;PA1000,1000;LB\xf6\x03", "BP;IN;SP1;PA1000,1000;LB\xf6\x03",
                             "\x1b%1BIN;SP1;PA1000,1000;LB\xf6\x03", "\x1b%1BSP1;PA1000,1000;LB\xf6\x03"}) {
        SCOPED_TRACE(text);
        expectItems(pointsOf(read(text)), roman8);
    }
    // The producer's case: a proportional 18-point font, a dash then a 5, whose strokes come after
    // the dash's two points.
    const std::vector<BlockItem> dashFive =
        pointsOf(read("IN;SP1;SD1,277,2,1,4,18,7,4148;SS;PA1000,1000;LB\xf6"
                      "5\x03"));
    ASSERT_GT(dashFive.size(), 2u);
    EXPECT_FLOAT_EQ(dashFive[0].y, dashFive[1].y);
    EXPECT_EQ(dashFive[2].flags & 0x70, 0x10);
}

TEST_F(ImportProducers, SymbolsOfRoman8AndSet7HaveGlyphs)
{
    // Section, pound, currency and diaeresis, in Roman-8 and in set 7, as their Latin-1 glyphs; none
    // of them the missing-character box (five points, from 1 to 9 mm).
    const std::vector<BlockItem> latin1 = pointsOf(read("SI1,1;LB\xa7\xa3\xa4\xa8\x03"));
    expectItems(pointsOf(read("SI1,1;CS277;LB\xbd\xbb\xba\xab\x03")), latin1);
    expectItems(pointsOf(read("SI1,1;CS7;LB=;:+\x03")), latin1);
    for (char c : std::string("\xa7\xa3\xa4\xa8")) {
        std::vector<BlockItem> points = pointsOf(read(std::string("SI1,1;LB") + c + "\x03"));
        EXPECT_FALSE(points.size() == 5 && points[0].x == 1 && points[1].x == 9) << int(c);
    }
}

TEST_F(ImportProducers, FontDefinitionsSizeTheCharacters)
{
    // Eleven characters take ten cells of 1.5 character widths and one width: 30.4 mm at the stick
    // font's 1.9 mm. A fixed-pitch font takes its width from the pitch (10.8 characters an inch), a
    // proportional one its size from the height; SI given after it overrides, SI alone goes back.
    const std::string text = "PA0,0;LBHHHHHHHHHHH\x03";
    const float plain = width(read("IN;SP1;" + text));
    EXPECT_NEAR(plain, 30.4, 1e-3);
    const float pitch108 = width(read("IN;SP1;SD1,277,2,0,3,10.8,7,48;SS;" + text));
    EXPECT_NEAR(pitch108, (10 * 1.5 + 1) * 25.4 / (1.5 * 10.8), 1e-3);
    EXPECT_NEAR(width(read("IN;SP1;SD1,277,2,0,3,4.5,7,48;SS;" + text)), pitch108 * 2.4, 1e-3);
    EXPECT_NEAR(height(read("IN;SP1;SD1,277,2,1,4,23;SS;" + text)), 5.4, 1e-3) << "twice 11.5 points";
    EXPECT_NEAR(width(read("IN;SP1;SD2,0,4,23;SS;" + text)), plain, 1e-3)
        << "a fixed font ignores the height";
    EXPECT_NEAR(width(read("IN;SP1;SD2,1,3,4.5;SS;" + text)), plain, 1e-3) << "a proportional one the pitch";
    EXPECT_NEAR(width(read("IN;SP1;SD3,4.5;SI0.19,0.27;" + text)), plain, 1e-3);
    EXPECT_NEAR(width(read("IN;SP1;SI1,1;SD3,10.8;SI;" + text)), pitch108, 1e-3);
    // The alternate font has its own size, chosen by SA or by shift out.
    EXPECT_NEAR(width(read("IN;SP1;AD3,10.8;SA;" + text)), pitch108, 1e-3);
    EXPECT_NEAR(width(read("IN;SP1;AD3,10.8;PA0,0;LB\x0eHHHHHHHHHHH\x0f\x03")), pitch108, 1e-3);
}

TEST_F(ImportProducers, PatternsTheLineTypeCannotCarryAreDrawnAsDashes)
{
    // P1..P2 of 5000 units across: one percent is 50 units, 1.25 mm.
    const std::string frame = "IN;SP1;IP0,0,3000,4000;";
    // UL8 of 25 and 75 percent at 1.5 percent: dashes of 0.46875 mm every 1.875 mm, 54 of them over
    // 100 mm, the last one whole; the path is solid, the dashes being drawn.
    Block user = read(frame + "UL8,25,75;LT8,1.5;PA0,0;PD4000,0;");
    ASSERT_EQ(user.paths.size(), 1u);
    EXPECT_EQ(user.paths[0].lineType, 0);
    auto pieces = dashes(user);
    ASSERT_EQ(pieces.size(), 54u);
    EXPECT_NEAR(pieces[1].first, 1.875, 1e-4);
    EXPECT_NEAR(pieces[1].second, 1.875 + 0.46875, 1e-4);
    EXPECT_NEAR(pieces.back().second, 53 * 1.875 + 0.46875, 1e-3);
    // A user pattern at a whole length is not the device's pattern either. The producer's case: UL8
    // at 0.4419 percent.
    EXPECT_EQ(read(frame + "UL8,25,75;LT8,2;PA0,0;PD4000,0;").paths[0].lineType, 0);
    EXPECT_EQ(dashes(read("IN;SP1;UL8,25,75;LT8,0.4419;PA0,0;PD4000,0;")).size() > 10, true);
    // Fractional lengths of a built-in pattern keep their proportions: type 2 is half dash, half gap.
    auto shorter = dashes(read(frame + "LT2,0.4419;PA0,0;PD4000,0;"));
    auto longer = dashes(read(frame + "LT2,0.8839;PA0,0;PD4000,0;"));
    ASSERT_GT(shorter.size(), 2u);
    ASSERT_GT(longer.size(), 2u);
    EXPECT_NEAR(shorter[0].second, 0.4419 * 1.25 / 2, 1e-4);
    EXPECT_NEAR(longer[0].second, 0.8839 * 1.25 / 2, 1e-4);
    EXPECT_NEAR(shorter[1].first, 0.4419 * 1.25, 1e-4);
    // The pattern runs on round a corner, and starts again after a pen-up move. A length in
    // millimetres (mode 1): dashes of 2 mm every 4 mm.
    const std::vector<BlockItem> twoLinesThenAnother = {{0, 0, 0x11},  {2, 0, 0x21},  {3, 1, 0x11},
                                                        {3, 3, 0x21},  {0, 10, 0x11}, {2, 10, 0x21},
                                                        {4, 10, 0x11}, {5, 10, 0x21}};
    expectItems(pointsOf(read("IN;SP1;LT2,4,1;PA0,0;PD120,0,120,200;PU0,400;PD200,400;")),
                twoLinesThenAnother);
    // An adaptive pattern fits each line a whole number of times: 4.5 mm on a 10 mm line becomes
    // 2 patterns of 5 mm.
    expectItems(pointsOf(read("IN;SP1;LT-2,4.5,1;PA0,0;PD400,0;")),
                {{0, 0, 0x11}, {2.5, 0, 0x21}, {5, 0, 0x11}, {7.5, 0, 0x21}});
    // Labels stay solid; LT99 brings the dashes back, LT ends them.
    expectItems(pointsOf(read(frame + "LT2,0.5;SI1,1;LBI\x03")), pointsOf(read(frame + "SI1,1;LBI\x03")));
    EXPECT_EQ(dashes(read(frame + "LT2,0.5;LT;LT99;PA0,0;PD4000,0;")).size(),
              dashes(read(frame + "LT2,0.5;PA0,0;PD4000,0;")).size());
    EXPECT_EQ(dashes(read(frame + "LT2,0.5;LT;PA0,0;PD4000,0;")).size(), 1u);
    // A line far too long for its pattern is drawn solid rather than as billions of dashes; a
    // malformed user pattern is ignored.
    EXPECT_EQ(dashes(read(frame + "LT2,0.001;PA0,0;PD1000000000,0;")).size(), 1u);
    EXPECT_EQ(read(frame + "UL8,-5,5;LT8,2;PA0,0;PD4000,0;").paths[0].lineType, 0x0802);
    EXPECT_EQ(read(frame + "UL8,0,0;LT8,2;PA0,0;PD4000,0;").paths[0].lineType, 0x0802);
}

// Records the colour each path is stroked with.
class StrokeColours : public DrawingSurface {
public:
    void beginPath() override {}
    void moveTo(IPoint) override {}
    void lineTo(IPoint) override {}
    void bezierTo(IPoint, IPoint, IPoint) override {}
    CPen selectPen(const CPen& pen) override { return std::exchange(pen_, pen); }
    void strokePath() override { colours.push_back(pen_.colour); }
    std::vector<uint32_t> colours;

private:
    CPen pen_;
};

TEST_F(ImportProducers, PenColoursReachThePreview)
{
    // A colour change of the pen in use starts a new path; each path opens with its colour item, and
    // the preview strokes it in that colour (0x00BBGGRR there).
    const std::string text = "IN;SP1;PC1,255,0,0;PA0,0;PD1000,0;PC1,0,0,255;PD1000,1000;";
    Block b = read(text);
    ASSERT_EQ(b.paths.size(), 2u);
    EXPECT_EQ(colourOf(b.paths[0]), 0xFF0000);
    EXPECT_EQ(colourOf(b.paths[1]), 0x0000FF);
    EXPECT_EQ(b.paths[1].pen, 1);

    TempDir dir;
    void* raw = module.readRaw(dir.write("colours.plt", text));
    ASSERT_NE(raw, nullptr);
    int32_t total = 0;
    std::memcpy(&total, static_cast<unsigned char*>(raw) + 1, 4);
    std::unique_ptr<CPlot> plot = readPlotBlock(static_cast<const uint8_t*>(raw), static_cast<size_t>(total));
    std::free(raw);
    ASSERT_NE(plot, nullptr);
    StrokeColours surface;
    plot->draw(surface, nullptr, nullptr);
    EXPECT_EQ(surface.colours, (std::vector<uint32_t>{0x0000FF, 0xFF0000}));

    // A pen given no colour, PC for the pen alone, a colour too light for white paper, and IN all
    // leave the palette's colour; a colour given to another pen does not cut the path.
    for (const char* palette : {"SP1;PA0,0;PD1000,0;", "PC1,9,9,9;PC1;SP1;PA0,0;PD1000,0;",
                                "PC1,255,255,255;SP1;PA0,0;PD1000,0;", "PC1,235,235,235;SP1;PA0,0;PD1000,0;",
                                "PC1,9,9,9;PC;SP1;PA0,0;PD1000,0;", "PC1,9,9,9;IN;SP1;PA0,0;PD1000,0;"}) {
        SCOPED_TRACE(palette);
        EXPECT_EQ(colourOf(read(palette).paths[0]), -1);
    }
    Block other = read("SP1;PA0,0;PD1000,0;PC2,0,255,0;PD2000,0;SP2;PD3000,0;");
    ASSERT_EQ(other.paths.size(), 2u);
    EXPECT_EQ(colourOf(other.paths[0]), -1);
    EXPECT_EQ(colourOf(other.paths[1]), 0x00FF00);
    EXPECT_EQ(colourOf(read("SP1;PC1,300,-4,127.6;PA0,0;PD1000,0;").paths[0]), 0xFF0080) << "held to 0..255";
}

TEST_F(ImportProducers, ShortLabelFilesWithShiftOutAndInAreRead)
{
    // 31 bytes, two of them control characters; and a short label with two accented characters
    // from the alternate set.
    for (const std::string& text :
         {std::string("IN;SP1;PU0,0;PD100,100;PU;LB\x0e\x0f\x03"),
          std::string("IN;SP1;CA7;PU0,0;PD100,100;PU;LBd\x0e\x45\x0fj\x0e\x45\x0f vu\x03")}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(module.readText(text).has_value());
    }
    EXPECT_EQ(std::string("IN;SP1;PU0,0;PD100,100;PU;LB\x0e\x0f\x03").size(), 31u);
}

} // namespace
