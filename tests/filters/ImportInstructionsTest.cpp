#include "ImportModule.h"

#include <cmath>

namespace {

class ImportInstructions : public ImportModuleTest {};

// 40 plotter units are one millimetre.
TEST_F(ImportInstructions, PenMovesBecomeFiguresInMillimetres)
{
    Block b = read("IN;PU400,800;PD1200,800,1200,1600;PU;PR400,0;PD0,400,7;PA;");
    ASSERT_EQ(b.paths.size(), 1u);
    EXPECT_EQ(b.paths[0].pen, 1) << "a drawing without SP uses pen 1";
    EXPECT_EQ(b.paths[0].lineType, 0);
    expectItems(
        b.paths[0].items,
        {{10, 20, 0x11}, {30, 20, 0x01}, {30, 40, 0x21}, {40, 40, 0x11}, {40, 50, 0x21}, {0, 0, 0xFF}});
    const float extent[4] = {10, 20, 40, 50};
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(b.extent[i], extent[i]);
}

TEST_F(ImportInstructions, FramingSeparatorsAndNumberFormsReadAlike)
{
    const std::vector<BlockItem> expected = {{10, 20, 0x11}, {30, 20, 0x21}, {0, 0, 0xFF}};
    const std::string variants[] = {
        "IN;PU400,800;PD1200,800;",
        "in;pu400,800;pd1200,800;",
        "\x03IN\nPU 400 800\r\nPD1200,800,\r\n",
        "INPU400,800PD1200,800PU",
        "IN;PU+4.0e2,8E2;PD1.2e+3,800.000;",
        "\x1b%-12345X@PJL ENTER LANGUAGE=HPGL2\r\n\x1b"
        "E\x1b%1BIN;PU400,800;PD1200,800;\x1b%0A\x1b"
        "E",
        "\x1b.(;\x1b.I81;;17:\x1b.N;19:IN;SC;PU400,800;PD1200,800;",
        "IN;XX1,2,3;ZZ;PU400,800;QQ\"ignored PD99,99\";PD1200,800;PD;",
        "IN;PU400,800;\x1b*b5WPD0,0PD1200,800;",
        "IN;CO\"PD0,0\";PU400,800;PD1200,800;PG;",
    };
    for (const std::string& text : variants) {
        SCOPED_TRACE(text);
        Block b = read(text);
        ASSERT_EQ(b.paths.size(), 1u);
        expectItems(b.paths[0].items, expected);
    }
}

TEST_F(ImportInstructions, PenAndLineTypeChangesStartNewPaths)
{
    Block b =
        read("SP2;PU0,0;PD400,0;LT2,3;PD800,0;LT;PD1200,0;SP0;PD1600,0;SP3;LT-4;PD2000,0;LT0,0.5;PD2400,0;");
    ASSERT_EQ(b.paths.size(), 5u);
    EXPECT_EQ(b.paths[4].lineType, 0x0001) << "a dotted line of a short length is not solid";
    EXPECT_EQ(b.paths[0].pen, 2);
    EXPECT_EQ(b.paths[0].lineType, 0);
    EXPECT_EQ(b.paths[1].lineType, 0x0203);
    EXPECT_EQ(b.paths[2].lineType, 0);
    // Pen 0 draws nothing; pen 3 then continues from where the pen went.
    EXPECT_EQ(b.paths[3].pen, 3);
    EXPECT_EQ(b.paths[3].lineType, 0xFC04) << "adaptive pattern -4 keeps its sign, the default length 4";
    expectItems(b.paths[3].items, {{40, 0, 0x11}, {50, 0, 0x21}, {0, 0, 0xFF}});
}

// PE numbers: value * 2 (+1 when negative), base 64 digits least significant first, the last digit
// from the upper range (base 32 and its ranges in 7-bit mode).
std::string encode(long value, bool sevenBit = false)
{
    unsigned long n =
        value < 0 ? static_cast<unsigned long>(-value) * 2 + 1 : static_cast<unsigned long>(value) * 2;
    unsigned long base = sevenBit ? 32 : 64;
    std::string out;
    while (n >= base) {
        out += static_cast<char>(63 + n % base);
        n /= base;
    }
    out += static_cast<char>((sevenBit ? 95 : 191) + n);
    return out;
}

TEST_F(ImportInstructions, PolylineEncodedFollowsFlagsAndFractions)
{
    std::string pe = "PE:" + encode(2) + "=" + encode(400) + encode(800) + encode(800) + encode(0) + "<" +
                     encode(0) + encode(-400) + ">" + encode(1) + encode(800) + encode(0) + "7" +
                     encode(-800, true) + encode(-1600, true) + ";";
    Block b = read("IN;" + pe + "PR40,0;");
    ASSERT_EQ(b.paths.size(), 1u);
    EXPECT_EQ(b.paths[0].pen, 2);
    // The first pair is absolute (a drawn move from the origin), the rest relative; '<' lifts the pen
    // for one pair; one fractional bit halves the values; after PE the pen stays down.
    expectItems(b.paths[0].items, {{0, 0, 0x11},
                                   {10, 20, 0x01},
                                   {30, 20, 0x21},
                                   {30, 10, 0x11},
                                   {40, 10, 0x01},
                                   {30, -10, 0x01},
                                   {31, -10, 0x21},
                                   {0, 0, 0xFF}});
}

TEST_F(ImportInstructions, ArcsAreBezierQuartersOfTheCircle)
{
    // 90 degrees counter-clockwise around the origin from (40 mm, 0): one piece whose control points
    // lie on the tangents at 4/3 tan(22.5 degrees) of the radius.
    const float k = 40 * 4.0f / 3 * std::tan(3.14159265f / 8);
    Block b = read("PU1600,0;PD;AA0,0,90;");
    expectItems(b.paths[0].items, {{40, 0, 0x11}, {40, k, 0x00}, {k, 40, 0x00}, {0, 40, 0x21}, {0, 0, 0xFF}});

    // AR with a relative centre, clockwise, two pieces ending at the far side; the extent holds the
    // arc's lowest point, not its control points.
    b = read("PU1600,0;PD;AR-1600,0,-180;");
    ASSERT_EQ(b.paths[0].items.size(), 8u);
    EXPECT_NEAR(b.paths[0].items[6].x, -40, 1e-3);
    EXPECT_NEAR(b.paths[0].items[6].y, 0, 1e-3);
    EXPECT_NEAR(b.paths[0].extent[1], -40, 1e-3);

    // With the pen up an arc only moves.
    b = read("PU1600,0;AA0,0,90;PD0,0;");
    expectItems(b.paths[0].items, {{0, 40, 0x11}, {0, 0, 0x21}, {0, 0, 0xFF}});
}

TEST_F(ImportInstructions, ThreePointArcsAndCirclesPassThroughTheirPoints)
{
    // AT from (0,0) through (400,400) to (800,0): a half circle of radius 10 mm around (10,0), clockwise.
    Block b = read("PU0,0;PD;AT400,400,800,0;");
    std::vector<BlockItem> items = b.paths[0].items;
    ASSERT_EQ(items.size(), 8u);
    EXPECT_NEAR(items[3].x, 10, 1e-3);
    EXPECT_NEAR(items[3].y, 10, 1e-3);
    EXPECT_NEAR(items[6].x, 20, 1e-3);
    EXPECT_NEAR(items[6].y, 0, 1e-3);
    EXPECT_NEAR(b.paths[0].extent[3], 10, 1e-3);
    // Collinear points give a straight line to the end.
    b = read("PU0,0;PD;RT400,0,800,0;");
    expectItems(b.paths[0].items, {{0, 0, 0x11}, {20, 0, 0x21}, {0, 0, 0xFF}});

    // CI draws a closed circle of four pieces even with the pen up, and the pen comes back to the
    // centre: the following line starts there.
    b = read("PU400,400;CI400;PD800,400;");
    items = b.paths[0].items;
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items[0].flags, 0x11);
    EXPECT_NEAR(items[0].x, 20, 1e-3);
    EXPECT_EQ(items[12].flags, 0x41);
    EXPECT_NEAR(items[12].x, 20, 1e-3);
    EXPECT_NEAR(items[12].y, 10, 1e-3);
    expectItems({items[13], items[14]}, {{10, 10, 0x11}, {20, 10, 0x21}});
    const float extent[4] = {0, 0, 20, 20};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(b.paths[0].extent[i], extent[i], 1e-3);
}

TEST_F(ImportInstructions, BeziersKeepTheirControlPoints)
{
    Block b = read("PU0,0;PD;BZ0,400,400,400,400,0;BR0,-400,400,-400,400,0;");
    expectItems(b.paths[0].items, {{0, 0, 0x11},
                                   {0, 10, 0},
                                   {10, 10, 0},
                                   {10, 0, 0x01},
                                   {10, -10, 0},
                                   {20, -10, 0},
                                   {20, 0, 0x21},
                                   {0, 0, 0xFF}});
    EXPECT_NEAR(b.paths[0].extent[3], 7.5, 1e-3) << "the curve's highest point, not its control points";
    EXPECT_NEAR(b.paths[0].extent[1], -7.5, 1e-3);
}

TEST_F(ImportInstructions, ShapesAreClosedOutlinesDrawnOnce)
{
    // A filled rectangle and its edge are one outline; the pen stays where it was.
    Block b = read("PU400,400;RA1200,800;EA1200,800;PD400,0;");
    expectItems(b.paths[0].items, {{10, 10, 0x11},
                                   {30, 10, 0x01},
                                   {30, 20, 0x01},
                                   {10, 20, 0x01},
                                   {10, 10, 0x41},
                                   {10, 10, 0x11},
                                   {10, 0, 0x21},
                                   {0, 0, 0xFF}});

    // A wedge: out along the start angle, round the arc, back to the centre.
    b = read("PU0,0;EW400,0,90;");
    expectItems({b.paths[0].items[0], b.paths[0].items[1], b.paths[0].items[4], b.paths[0].items[5]},
                {{0, 0, 0x11}, {10, 0, 0x01}, {0, 10, 0x01}, {0, 0, 0x41}});

    // Polygon mode: sub-polygons closed by PM1 and PM2, drawn by EP; the FP after it adds nothing.
    b = read("PA0,0;PM0;PD400,0,400,400;PM1;PU800,0;PD1200,0,1200,400;PM2;EP;FP;");
    expectItems(b.paths[0].items, {{0, 0, 0x11},
                                   {10, 0, 0x01},
                                   {10, 10, 0x01},
                                   {0, 0, 0x41},
                                   {20, 0, 0x11},
                                   {30, 0, 0x01},
                                   {30, 10, 0x01},
                                   {20, 0, 0x41},
                                   {0, 0, 0xFF}});
}

TEST_F(ImportInstructions, ScalingMapsUserUnitsOntoTheScalingPoints)
{
    // Anisotropic: 0..100 onto 0..4000 units across and 0..8000 up.
    Block b = read("IP0,0,4000,8000;SC0,100,0,100;PU50,50;PD100,100;");
    expectItems(b.paths[0].items, {{50, 100, 0x11}, {100, 200, 0x21}, {0, 0, 0xFF}});
    // Isotropic, centred: the smaller factor (40 units per user unit) with the extra height shared.
    b = read("IP0,0,4000,8000;SC0,100,0,100,1;PU0,0;PD100,100;");
    expectItems(b.paths[0].items, {{0, 50, 0x11}, {100, 150, 0x21}, {0, 0, 0xFF}});
    // Point factor: P1 is (10, 20) user units, 80 plotter units per user unit.
    b = read("IP400,400;SC10,80,20,80,2;PU10,20;PD15,25;");
    expectItems(b.paths[0].items, {{10, 10, 0x11}, {20, 20, 0x21}, {0, 0, 0xFF}});
    // IR in percent of the page; relative moves scale too; SC alone turns scaling off.
    b = read("PS4000,2000;IR50,50,100,100;SC0,10,0,10;PU0,0;PR5,5;PD;SC;PR400,0;");
    expectItems(b.paths[0].items, {{75, 37.5, 0x11}, {85, 37.5, 0x21}, {0, 0, 0xFF}});
}

TEST_F(ImportInstructions, RotationTurnsTheFrameOnThePage)
{
    // On a page 4000 long and 2000 wide, RO90 puts the origin at the lower right, X pointing up.
    Block b = read("PS4000,2000;RO90;PU0,0;PD400,0;");
    expectItems(b.paths[0].items, {{100, 0, 0x11}, {100, 10, 0x21}, {0, 0, 0xFF}});
    b = read("PS4000,2000;RO180;PU0,0;PD400,0;");
    expectItems(b.paths[0].items, {{100, 50, 0x11}, {90, 50, 0x21}, {0, 0, 0xFF}});
}

TEST_F(ImportInstructions, InputWindowClipsWhatLiesOutside)
{
    // A line across the window keeps its inside part; one wholly outside disappears; IW alone with
    // no page size removes the window.
    Block b = read("IW400,400,800,800;PU0,600;PD1200,600;PU0,0;PD0,1200;IW;PU0,0;PD400,0;");
    expectItems(b.paths[0].items,
                {{10, 15, 0x11}, {20, 15, 0x21}, {0, 0, 0x11}, {10, 0, 0x21}, {0, 0, 0xFF}});
    // A circle that crosses the window is cut as lines, none outside it.
    b = read("IW0,0,4000,4000;PU0,0;CI400;");
    for (const BlockItem& item : pointsOf(b)) {
        EXPECT_GE(item.x, -1e-3);
        EXPECT_GE(item.y, -1e-3);
    }
}

TEST_F(ImportInstructions, LabelsAdvanceByCharacterCells)
{
    // Characters 1 cm wide and high: cells of 15 mm; the pen ends where a third character would start.
    Block b = read("SI1,1;PU0,0;LBHI\x03PD0,0;");
    std::vector<BlockItem> points = pointsOf(b);
    ASSERT_GE(points.size(), 4u);
    EXPECT_NEAR(points[points.size() - 2].x, 30, 1e-3);
    EXPECT_NEAR(points[points.size() - 2].y, 0, 1e-3);
    EXPECT_NEAR(b.extent[0], 0, 0.5);
    EXPECT_NEAR(b.extent[2], 30, 1e-3);
    EXPECT_NEAR(b.extent[3], 10, 0.5);

    // Turned by DI to point up, centred by LO5, with a terminator of our own: the label lies across
    // the Y axis, centred on the start point (two cells less the half-width gap after the last one).
    b = read("SI1,1;DI0,1;LO5;DT#;PU0,0;LBHH#");
    EXPECT_NEAR(b.extent[1], -12.5, 0.5);
    EXPECT_NEAR(b.extent[3], 12.5, 0.5);
    EXPECT_NEAR(b.extent[0], -5, 0.5);
    EXPECT_NEAR(b.extent[2], 5, 0.5);

    // A carriage return and line feed start the next line 2 heights lower at the label's start.
    b = read("SI1,1;PU0,0;LBH\r\nI\x03");
    EXPECT_NEAR(b.extent[1], -20, 0.5);
    EXPECT_NEAR(b.extent[2], 10, 0.5);
}

TEST_F(ImportInstructions, LabelSizeSlantAndDirectionFollowTheScalingPoints)
{
    // SR: percent of P1..P2, here 10 mm wide and high; the slant moves the cap height one height right.
    Block b = read("IP0,0,4000,4000;SR10,10;PU0,0;LBH\x03");
    EXPECT_NEAR(b.extent[2], 10, 0.5);
    EXPECT_NEAR(b.extent[3], 10, 0.5);
    b = read("IP0,0,4000,4000;SR10,10;SL1;PU0,0;LBH\x03");
    EXPECT_NEAR(b.extent[2], 20, 0.5);
    // DR: run and rise in percent of P1..P2, so 1,2 on a frame twice as wide as high is 45 degrees;
    // the pen ends one cell (15 mm) along that direction.
    b = read("IP0,0,8000,4000;SI1,1;DR1,2;PU0,0;LBH\x03PD0,0;");
    std::vector<BlockItem> points = pointsOf(b);
    EXPECT_NEAR(points[points.size() - 2].x, 15 / std::sqrt(2.0f), 1e-3);
    EXPECT_NEAR(points[points.size() - 2].y, 15 / std::sqrt(2.0f), 1e-3);
    // ES widens each cell by a number of cells (here one) and each line feed by a number of lines.
    b = read("SI1,1;ES1,1;PU0,0;LBHH\r\nH\x03PD0,0;");
    points = pointsOf(b);
    EXPECT_NEAR(points[points.size() - 2].x, 30, 1e-3);
    EXPECT_NEAR(points[points.size() - 2].y, -40, 1e-3);
    EXPECT_NEAR(b.extent[2], 40, 0.5);
    // Text for the display and buffered labels never reaches the drawing.
    b = read("WDPD0,0\x03BLPD9,9\x03PU0,0;PD400,0;");
    expectItems(b.paths[0].items, {{0, 0, 0x11}, {10, 0, 0x21}, {0, 0, 0xFF}});
}

TEST_F(ImportInstructions, EveryPictureOfTheFileIsRead)
{
    Block b = read("IN;SP1;PU0,0;PD400,0;PG;BP;IN;SP2;PU0,400;PD400,400;PG;");
    ASSERT_EQ(b.paths.size(), 2u);
    EXPECT_EQ(b.paths[1].pen, 2);
    // DF turns scaling off but leaves the pen where it was.
    b = read("IP0,0,4000,4000;SC0,100,0,100;PU50,50;DF;PD2400,2000;");
    expectItems(b.paths[0].items, {{50, 50, 0x11}, {60, 50, 0x21}, {0, 0, 0xFF}});
}

} // namespace
