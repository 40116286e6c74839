#include "ImportModule.h"

#include <cmath>
#include <tuple>

// Drawings come out as their authors drew them: what a device would draw, no more and no less.
namespace {

class ImportDrawing : public ImportModuleTest {
protected:
    // Reads the text of each case and compares all its points with what the case expects.
    struct Case {
        std::string text;
        std::vector<BlockItem> points;
    };
    void expectPoints(const std::vector<Case>& cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            expectItems(pointsOf(read(c.text)), c.points);
        }
    }
    // The last two points: where a label left the pen, and the line drawn from there.
    std::vector<BlockItem> lastTwoPoints(const std::string& text)
    {
        std::vector<BlockItem> points = pointsOf(read(text));
        return {points.end() - std::min<std::ptrdiff_t>(2, std::ssize(points)), points.end()};
    }
};

TEST_F(ImportDrawing, PenZeroDrawsOnceTheFileGaveItAColour)
{
    // Without a colour, given back its default (PC0 alone, PC) or after IN, pen 0 is the parked pen.
    const std::tuple<const char*, int, float> cases[] = {
        {"IN;NP8;PC0,0,255,255;SP0;PA0,0;PD1000,0;", 0, 25},
        {"SP1;PA0,0;PD400,0;SP0;PD1000,0;", 1, 10},
        {"PC0,0,0,0;PC0;SP1;PA0,0;PD400,0;SP0;PD1000,0;", 1, 10},
        {"PC0,0,0,0;PC;SP1;PA0,0;PD400,0;SP0;PD1000,0;", 1, 10},
        {"PC0,0,0,0;IN;SP1;PA0,0;PD400,0;SP0;PD1000,0;", 1, 10}};
    for (const auto& [text, pen, end] : cases) {
        SCOPED_TRACE(text);
        Block b = read(text);
        ASSERT_EQ(b.paths.size(), 1u);
        EXPECT_EQ(b.paths[0].pen, pen);
        expectItems(pointsOf(b), {{0, 0, 0x11}, {end, 0, 0x21}});
    }
}

TEST_F(ImportDrawing, EdgingLeavesSidesDefinedWithThePenUpOpen)
{
    const std::vector<BlockItem> twoSubpolygons = {{0, 0, 0x11},  {10, 0, 0x01}, {10, 10, 0x01}, {0, 0, 0x41},
                                                   {20, 0, 0x11}, {30, 0, 0x01}, {30, 10, 0x21}};
    expectPoints({
        // The pen is up when the polygon ends: its closing side is not an edge.
        {"PA0,0;PM0;PD1000,0,1000,1000;PU;PM2;EP;", {{0, 0, 0x11}, {25, 0, 0x01}, {25, 25, 0x21}}},
        // A fill bounds the whole polygon, closed; the edge after it of the same polygon adds nothing.
        {"PA0,0;PM0;PD1000,0,1000,1000;PU;PM2;FP;EP;",
         {{0, 0, 0x11}, {25, 0, 0x01}, {25, 25, 0x01}, {0, 0, 0x41}}},
        // A side moved with the pen up in the middle splits the edge into two open runs; the closing
        // side, drawn with the pen down, ends the second run at the start.
        {"PA0,0;PM0;PD400,0;PU400,400;PD0,400;PM2;EP;",
         {{0, 0, 0x11}, {10, 0, 0x21}, {10, 10, 0x11}, {0, 10, 0x01}, {0, 0, 0x21}}},
        // After PM1 the pen moves to the next sub-polygon without drawing, whatever its state.
        {"PA0,0;PM0;PD400,0,400,400;PM1;PD800,0,1200,0,1200,400;PU;PM2;EP;", twoSubpolygons},
    });
}

TEST_F(ImportDrawing, AGivenChordAngleDrawsTheDevicesChords)
{
    const float c = 25 * std::cos(3.14159265f / 6), s = 12.5f, d = 25 / std::sqrt(2.0f);
    const std::vector<BlockItem> diamond = {{s, 0, 0x11}, {0, s, 0x01}, {-s, 0, 0x01}, {0, -s, 0x01},
                                            {s, 0, 0x41}, {0, 0, 0x11}, {0, 10, 0x21}};
    expectPoints({
        // CI500,90: a diamond of four chords, closed, the pen back at the centre.
        {"CI500,90;PD0,400;", diamond},
        // A 90 degree arc with a 40 degree chord angle: three equal chords of 30 degrees.
        {"PA1000,0;PD;AA0,0,90,40;", {{25, 0, 0x11}, {c, s, 0x01}, {s, c, 0x01}, {0, 25, 0x21}}},
        {"PA1000,0;PD;AR-1000,0,-90,90;", {{25, 0, 0x11}, {0, -25, 0x21}}},
        // A wedge with chords: out to the start, two chords round, back to the centre.
        {"WG1000,0,90,45;", {{0, 0, 0x11}, {25, 0, 0x01}, {d, d, 0x01}, {0, 25, 0x01}, {0, 0, 0x41}}},
    });
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
    Block b = read("PA0,0;LT1,1;PD400,0;LT1,2.0;PD800,0;LT-2,5;PD1200,0;LT3,0;PD1600,0;LT0,0.5;PD2000,0;");
    ASSERT_EQ(b.paths.size(), 5u);
    EXPECT_EQ(b.paths[0].lineType, 0x0101);
    EXPECT_EQ(b.paths[1].lineType, 0x0102);
    EXPECT_EQ(b.paths[2].lineType, 0xFE05) << "adaptive type 2 as the signed byte -2";
    EXPECT_EQ(b.paths[3].lineType, 0x0301) << "a pattern never has no length";
    EXPECT_EQ(b.paths[4].lineType, 0x0001) << "dots at the points only: the length does not matter";
}

// Characters 1 cm wide and high (400 units) keep the label arithmetic in whole units below.
TEST_F(ImportDrawing, ThePenEndsAtTheNextCharacterOriginOfTheLabelAsDrawn)
{
    // Right-aligned and middle-centred with the offset (LO18): the text ends half a character short of
    // the pen, so the next character origin is back at the pen's X, half a character height lower.
    expectItems(lastTwoPoints("SI1,1;PA2000,2000;LO18;LBABC\x03PD2000,1000;"),
                {{50, 45, 0x11}, {50, 25, 0x21}});
    // Centred (LO5): the label spans 37.5 to 62.5 mm, so the next origin is at 67.5 mm.
    expectItems(lastTwoPoints("SI1,1;PA2000,2000;LO5;LBAB\x03PD2000,1000;"),
                {{67.5, 45, 0x11}, {50, 25, 0x21}});
    // A carriage return at the end brings the pen back to where the label started.
    expectItems(lastTwoPoints("SI1,1;PA2000,2000;LO18;LBABC\r\x03PD2000,1000;"),
                {{50, 50, 0x11}, {50, 25, 0x21}});
    // Down (DV1): each character a line height (20 mm) below the last.
    expectItems(lastTwoPoints("SI1,1;DV1;PA0,0;LBAB\x03PD0,0;"), {{0, -40, 0x11}, {0, 0, 0x21}});
}

TEST_F(ImportDrawing, TextPathsStackCharactersAndTurnTheLineFeed)
{
    // Which edge of the drawing (left, bottom, right, top) ends where, in millimetres.
    const std::tuple<const char*, int, float> cases[] = {
        // Down, the characters stay upright under one another.
        {"SI1,1;DV1;PA0,0;LBAB\x03", 1, -20},
        {"SI1,1;DV1;PA0,0;LBAB\x03", 2, 10},
        {"SI1,1;DV1;PA0,0;LBAB\x03", 3, 10},
        // Down, a line feed goes to the left by a cell width; reversed it goes to the right.
        {"SI1,1;DV1;PA0,0;LBA\nB\x03", 0, -15},
        {"SI1,1;DV1,1;PA0,0;LBA\nB\x03", 2, 25},
        // Up, and left: the first character stands at the pen, the next one further along the path.
        {"SI1,1;DV3;PA0,0;LBAB\x03", 3, 30},
        {"SI1,1;DV2;PA0,0;LBAB\x03", 0, -15},
        {"SI1,1;DV2;PA0,0;LBAB\x03", 2, 10},
    };
    for (const auto& [text, edge, at] : cases) {
        SCOPED_TRACE(std::string(text) + " edge " + std::to_string(edge));
        EXPECT_NEAR(read(text).extent[edge], at, 0.5);
    }
}

TEST_F(ImportDrawing, SymbolsBufferedLabelsAndTickMarksAreDrawn)
{
    const std::vector<BlockItem> plusAtBothPoints = {
        {50, 46, 0x11},  {50, 54, 0x21},  {46, 50, 0x11}, {54, 50, 0x21},  {50, 50, 0x11},  {100, 50, 0x21},
        {100, 46, 0x11}, {100, 54, 0x21}, {96, 50, 0x11}, {104, 50, 0x21}, {100, 50, 0x11}, {100, 0, 0x21}};
    expectPoints({
        // The plus sign's strokes cross at the centre of its cell, which sits on each point; the line
        // between the points is still drawn.
        {"SI1,1;SM+;PA2000,2000;PD4000,2000;SM;PD4000,0;", plusAtBothPoints},
        // Ticks of 0.5 percent of P1..P2 either way by default, then of the TL lengths; the pen stays.
        {"IP0,0,4000,4000;PA2000,2000;XT;TL10,5;YT;PD2000,0;",
         {{50, 49.5, 0x11}, {50, 50.5, 0x21}, {45, 50, 0x11}, {60, 50, 0x21}, {50, 50, 0x11}, {50, 0, 0x21}}},
    });
    // PB prints the label BL kept, at the pen's position then. A terminator that DT prints (mode 0) is
    // drawn with a label and kept with a buffered one.
    expectItems(pointsOf(read("SI1,1;PA0,0;BLHI\x03PA4000,0;PB;")),
                pointsOf(read("SI1,1;PA4000,0;LBHI\x03")));
    for (const char* text : {"SI1,1;DT*,0;LBA*", "SI1,1;DT*,0;BLA*PB;"})
        expectItems(pointsOf(read(text)), pointsOf(read("SI1,1;LBA*\x03")));
}

TEST_F(ImportDrawing, CharacterSetsMapOntoTheFontsGlyphs)
{
    // Set 7: '3' is Roman-8's degree sign, 'B' its lower-case o with a circumflex; shift out selects
    // the alternate set inside a label, shift in the standard one again. Then Roman-8 and Latin-1 by
    // their symbol set numbers. (Spaces pad the short files with control characters, so that they are
    // not taken for binary data.)
    const std::string pad(100, ' ');
    const std::pair<std::string, std::string> sameGlyphs[] = {
        {"SI1,1;CS7;LB3B\x03", "SI1,1;LB\xb0\xf4\x03"},
        {"SI1,1;CA7;LB\x0e\x33\x0f\x33\x03" + pad, "SI1,1;LB\xb0\x33\x03"}, // \x33 is '3'
        {"SI1,1;CA7;SA;LB3\x03SS;LB3\x03", "SI1,1;LB\xb0\x33\x03"},
        {"SI1,1;CS277;LB\xb3\xdc\x03", "SI1,1;LB\xb0\xc9\x03"},
        {"SI1,1;CS14;LB\xe9\x03", "SI1,1;LB\xe9\x03"},
    };
    for (const auto& [text, latin1] : sameGlyphs) {
        SCOPED_TRACE(text + " against " + latin1);
        expectItems(pointsOf(read(text)), pointsOf(read(latin1)));
    }
    // No glyph (Roman-8's last code, a byte beyond ASCII in a national set, DEL, a control code of
    // Latin-1): the missing-character box, never nothing.
    const std::vector<BlockItem> box = {
        {1, 0, 0x11}, {9, 0, 0x01}, {9, 10, 0x01}, {1, 10, 0x01}, {1, 0, 0x21}};
    expectPoints({{"SI1,1;CS277;LB\xff\x03", box},
                  {"SI1,1;CS1;LB\xe9\x03", box},
                  {"SI1,1;LB\x7f\x03" + pad, box},
                  {"SI1,1;LB\x80\x03", box}});
}

// The file's memory is given back piece by piece as it is read: a file of several megabytes, with a
// pen-down move running over the first pieces and a label amid the rest, still gives every point.
TEST_F(ImportDrawing, ALargeFileGivesEveryPoint)
{
    auto at = [](int x, int y, uint8_t flags) {
        return BlockItem{static_cast<float>(x) * 0.025f, static_cast<float>(y) * 0.025f, flags};
    };
    const std::string label = "PU0,0;SI1,1;LB" + std::string(3000, ' ') + "|\x03";
    const std::vector<BlockItem> labelPoints = pointsOf(read(label));
    ASSERT_FALSE(labelPoints.empty());

    std::string text = "IN;SP1;PA0,0;PD";
    std::vector<BlockItem> expected = {at(0, 0, 0x11)};
    // Twelve characters a point: fewer points than would fill one path.
    for (int i = 1; text.size() < 2'100'000; ++i) {
        const int x = 10000 + i % 30000, y = 10000 + i / 30000;
        text += std::to_string(x) + "," + std::to_string(y) + ",";
        expected.push_back(at(x, y, 0x01));
    }
    text.back() = ';';
    expected.back().flags |= 0x20;
    for (int i = 0; text.size() < 5'000'000; ++i) {
        if (i == 20000) {
            text += label;
            expected.insert(expected.end(), labelPoints.begin(), labelPoints.end());
        }
        const int x = i % 40000, y = i / 40000;
        text += "PU" + std::to_string(x) + "," + std::to_string(y) + ";PD" + std::to_string(x + 7) + "," +
                std::to_string(y) + ";\n";
        expected.push_back(at(x, y, 0x11));
        expected.push_back(at(x + 7, y, 0x21));
    }
    expectItems(pointsOf(read(text)), expected);
}

} // namespace
