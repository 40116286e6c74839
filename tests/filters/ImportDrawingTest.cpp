#include "ImportModule.h"

#include <cmath>

// Drawings come out as their authors drew them: what a device would draw, no more and no less.
namespace {

class ImportDrawing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.loaded()); }

    Block read(const std::string& text)
    {
        std::optional<Block> block = module.readText(text);
        EXPECT_TRUE(block.has_value()) << text;
        if (!block)
            return {};
        expectWellFormed(*block);
        return *block;
    }

    static void expectItems(const std::vector<BlockItem>& actual, const std::vector<BlockItem>& expected)
    {
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("item " + std::to_string(i));
            EXPECT_NEAR(actual[i].x, expected[i].x, 1e-3);
            EXPECT_NEAR(actual[i].y, expected[i].y, 1e-3);
            EXPECT_EQ(actual[i].flags, expected[i].flags);
        }
    }

    ImportModule module;
};

TEST_F(ImportDrawing, PenZeroDrawsOnceTheFileGaveItAColour)
{
    Block b = read("IN;NP8;PC0,0,255,255;SP0;PA0,0;PD1000,0;");
    ASSERT_EQ(b.paths.size(), 1u);
    EXPECT_EQ(b.paths[0].pen, 0);
    expectItems(b.paths[0].items, {{0, 0, 0x11}, {25, 0, 0x21}, {0, 0, 0xFF}});

    // Without a colour, given back its default (PC0 alone) or after IN, pen 0 is the parked pen.
    for (const char* text :
         {"SP1;PA0,0;PD400,0;SP0;PD1000,0;", "PC0,0,0,0;PC0;SP1;PA0,0;PD400,0;SP0;PD1000,0;",
          "PC0,0,0,0;PC;SP1;PA0,0;PD400,0;SP0;PD1000,0;", "PC0,0,0,0;IN;SP1;PA0,0;PD400,0;SP0;PD1000,0;"}) {
        SCOPED_TRACE(text);
        b = read(text);
        ASSERT_EQ(b.paths.size(), 1u);
        EXPECT_EQ(b.paths[0].pen, 1);
        expectItems(b.paths[0].items, {{0, 0, 0x11}, {10, 0, 0x21}, {0, 0, 0xFF}});
    }
}

TEST_F(ImportDrawing, EdgingLeavesSidesDefinedWithThePenUpOpen)
{
    // The pen is up when the polygon ends: its closing side is not an edge.
    Block b = read("PA0,0;PM0;PD1000,0,1000,1000;PU;PM2;EP;");
    expectItems(b.paths[0].items, {{0, 0, 0x11}, {25, 0, 0x01}, {25, 25, 0x21}, {0, 0, 0xFF}});

    // A fill bounds the whole polygon, closed; the edge after it of the same polygon adds nothing.
    b = read("PA0,0;PM0;PD1000,0,1000,1000;PU;PM2;FP;EP;");
    expectItems(b.paths[0].items, {{0, 0, 0x11}, {25, 0, 0x01}, {25, 25, 0x01}, {0, 0, 0x41}, {0, 0, 0xFF}});

    // A side moved with the pen up in the middle splits the edge into two open runs; the closing
    // side, drawn with the pen down, ends the second run at the start.
    b = read("PA0,0;PM0;PD400,0;PU400,400;PD0,400;PM2;EP;");
    expectItems(b.paths[0].items,
                {{0, 0, 0x11}, {10, 0, 0x21}, {10, 10, 0x11}, {0, 10, 0x01}, {0, 0, 0x21}, {0, 0, 0xFF}});

    // After PM1 the pen moves to the next sub-polygon without drawing, whatever its state.
    b = read("PA0,0;PM0;PD400,0,400,400;PM1;PD800,0,1200,0,1200,400;PU;PM2;EP;");
    expectItems(b.paths[0].items, {{0, 0, 0x11},
                                   {10, 0, 0x01},
                                   {10, 10, 0x01},
                                   {0, 0, 0x41},
                                   {20, 0, 0x11},
                                   {30, 0, 0x01},
                                   {30, 10, 0x21},
                                   {0, 0, 0xFF}});
}

TEST_F(ImportDrawing, AGivenChordAngleDrawsTheDevicesChords)
{
    // CI500,90: a diamond of four chords, closed, the pen back at the centre.
    Block b = read("CI500,90;PD0,400;");
    expectItems(b.paths[0].items, {{12.5, 0, 0x11},
                                   {0, 12.5, 0x01},
                                   {-12.5, 0, 0x01},
                                   {0, -12.5, 0x01},
                                   {12.5, 0, 0x41},
                                   {0, 0, 0x11},
                                   {0, 10, 0x21},
                                   {0, 0, 0xFF}});

    // A 90 degree arc with a 40 degree chord angle: three equal chords of 30 degrees.
    b = read("PA1000,0;PD;AA0,0,90,40;");
    const float c = 25 * std::cos(3.14159265f / 6), s = 12.5f;
    expectItems(b.paths[0].items, {{25, 0, 0x11}, {c, s, 0x01}, {s, c, 0x01}, {0, 25, 0x21}, {0, 0, 0xFF}});
    b = read("PA1000,0;PD;AR-1000,0,-90,90;");
    expectItems(b.paths[0].items, {{25, 0, 0x11}, {0, -25, 0x21}, {0, 0, 0xFF}});

    // A wedge with chords: out to the start, two chords round, back to the centre.
    b = read("WG1000,0,90,45;");
    const float d = 25 / std::sqrt(2.0f);
    expectItems(b.paths[0].items,
                {{0, 0, 0x11}, {25, 0, 0x01}, {d, d, 0x01}, {0, 25, 0x01}, {0, 0, 0x41}, {0, 0, 0xFF}});
}

TEST_F(ImportDrawing, DegenerateShapesDrawNothing)
{
    // Shapes of no area, radius or sweep, and shapes with too many parameters, leave no path that
    // would make a cutter stab the media; the line after them is all there is.
    Block b = read("PA0,0;RA0,0,4000,4000;RA0,400;RR400,0;EA0,0;CI0;CI400,5,5;WG0,0,90;WG400,0,0;"
                   "EW400,0,90,5,5;PM0;PD0,0;PM2;FP;EP;PD400,0;");
    ASSERT_EQ(b.paths.size(), 1u);
    expectItems(b.paths[0].items, {{0, 0, 0x11}, {10, 0, 0x21}, {0, 0, 0xFF}});
}

TEST_F(ImportDrawing, LineTypesKeepTheirLengthAndSign)
{
    Block b = read("PA0,0;LT1,0.58;PD400,0;LT1,1.74;PD800,0;LT-2,5;PD1200,0;LT3,0.2;PD1600,0;");
    ASSERT_EQ(b.paths.size(), 4u);
    EXPECT_EQ(b.paths[0].lineType, 0x0101);
    EXPECT_EQ(b.paths[1].lineType, 0x0102) << "1.74 percent rounds to 2";
    EXPECT_EQ(b.paths[2].lineType, 0xFE05) << "adaptive type 2 as the signed byte -2";
    EXPECT_EQ(b.paths[3].lineType, 0x0301) << "a pattern never has no length";
}

} // namespace
