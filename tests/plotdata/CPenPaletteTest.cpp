#include "plotdata/CPenPalette.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>

TEST(CPenPaletteTest, DefaultTableHandsOutWindowsColoursAndPensForTheLow16BitsOfNumbers)
{
    const CPenPalette palette;
    EXPECT_EQ(palette.colourCount(), 39);
    EXPECT_EQ(palette.colour(0), 0x000000u);
    EXPECT_EQ(palette.colour(12), 0x0000FFu); // red, in the low byte
    EXPECT_EQ(palette.colour(9), 0xFF0000u);  // blue
    EXPECT_EQ(palette.colour(18), 0xFFD7AEu); // 174, 215, 255
    EXPECT_EQ(palette.colour(1), palette.colour(37));
    EXPECT_EQ(palette.colour(5), palette.colour(33));
    EXPECT_EQ(palette.colour(-1), 0u);
    EXPECT_EQ(palette.colour(39), 0u);

    EXPECT_EQ(palette.createPen(38, PS_SOLID, 1), (CPen{PS_SOLID, 1, 0x124EFE})); // 254, 78, 18
    EXPECT_EQ(palette.createPen(39, PS_SOLID, 1), std::nullopt);
    EXPECT_EQ(palette.createPen(-1, PS_SOLID, 1), std::nullopt);
    EXPECT_EQ(palette.createPen(0x7FFF0000 | 12, PS_SOLID, 3), (CPen{PS_SOLID, 3, 0x0000FF}));
    EXPECT_EQ(palette.createPen(int(0x80000009), PS_SOLID, 1), (CPen{PS_SOLID, 1, 0xFF0000}));
}

// The list holds at most 250 names of at most 39 characters, and stops at the first missing key.
TEST(CPenPaletteTest, NamedPalettesComeOnlyFromAGivenFile)
{
    CPenPalette palette;
    EXPECT_EQ(palette.paletteCount(), 0);

    TempDir dir;
    const std::string file = dir.write("Palette.INI", "[PALETTE]\nPAL0=Office\nPAL1=Shop\nPAL3=Lost\n"
                                                      "[Office]\nPalName=Office colours\n[Shop]\n");
    palette.setProfilePath(file);
    palette.loadNames();
    ASSERT_EQ(palette.paletteCount(), 2);
    EXPECT_EQ(palette.paletteName(0), "Office colours");
    EXPECT_EQ(palette.paletteName(1), ""); // its section has no PalName
    EXPECT_EQ(palette.paletteName(2), "");
    EXPECT_EQ(palette.colourCount(), 39); // the colours stay

    dir.write("Palette.INI", "[PALETTE]\nPAL1=Shop\n");
    palette.loadNames();
    EXPECT_EQ(palette.paletteCount(), 0);

    std::string text = "[PALETTE]\n";
    for (int i = 0; i < 260; ++i)
        text += "PAL" + std::to_string(i) + "=P\n";
    dir.write("Palette.INI", text + "[P]\nPalName=" + std::string(60, 'n') + "\n");
    palette.loadNames();
    EXPECT_EQ(palette.paletteCount(), 250);
    EXPECT_EQ(palette.paletteName(249), std::string(39, 'n'));
}
