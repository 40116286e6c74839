#include "ImportModule.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>

namespace {

class ImportBadInput : public ImportModuleTest {
protected:
    TempDir dir;
};

TEST_F(ImportBadInput, NothingToDrawGivesNoBlock)
{
    EXPECT_FALSE(module.read(dir.write("empty.plt", "")).has_value());
    EXPECT_FALSE(module.read(dir.file("missing.plt")).has_value());
    EXPECT_FALSE(module.read(dir.path().string()).has_value()) << "a folder";
    EXPECT_FALSE(module.read("/dev/zero").has_value()) << "a device is not a plot file";
    std::string huge = dir.write("huge.plt", "PD100,100;");
    std::filesystem::resize_file(huge, (uint64_t{1} << 30) + 1);
    EXPECT_FALSE(module.read(huge).has_value()) << "larger than any block could hold";
    EXPECT_FALSE(module.readText("IN;SP1;PU100,100;SC0,1,0,1;SP0;").has_value());
    EXPECT_FALSE(module.readText("SP0;PD100,100;").has_value()) << "no pen, nothing drawn";
    EXPECT_EQ(module.readRaw(dir.write("a.plt", "PD100,100;"), NAN), nullptr);
    EXPECT_EQ(module.readRaw(dir.write("b.plt", "PD100,100;"), -0.025f), nullptr);
}

// The module's own code and the font it carries stay private, so they cannot clash with the program's.
TEST_F(ImportBadInput, OnlyTheEntryPointIsExported)
{
    EXPECT_TRUE(module.exports("NFilterRead"));
    EXPECT_FALSE(module.exports("_ZN4hpgl8readPlotEPKhmd"));
    EXPECT_FALSE(module.exports("_ZN10strokefont5glyphEh"));
}

TEST_F(ImportBadInput, TruncatedFileGivesTheDrawingUpToTheCut)
{
    for (const char* text :
         {"PD400,0,400,4", "PD400,0,400,400;AA0,0,9", "PD400,0,400,400;LBABC",
          "PD400,0,400,400;PE=", "PD400,0,400,400;\x1b%-1", "PD400,0,400,400;PM0;PD800,800"}) {
        SCOPED_TRACE(text);
        std::optional<Block> block = module.readText(text);
        ASSERT_TRUE(block.has_value());
        expectWellFormed(*block);
        std::vector<BlockItem> points = pointsOf(*block);
        ASSERT_GE(points.size(), 2u);
        EXPECT_FLOAT_EQ(points[1].x, 10);
    }
}

TEST_F(ImportBadInput, OutOfRangeNumbersAreHeldToThePlotterRange)
{
    std::optional<Block> block =
        module.readText("PD1e300,-1e300;PR1e308,1e308,1e308,1e308;SC0,1e-300,0,1e-300;PA1,1;AA1e30,0,1e30;"
                        "CI1e300;SC0,1e9,0,1e-9,2;PD1e9,1e9;LB\x80\xff\x01\x03;IP5,5,5,5;SC0,1,0,1;PD1,1;"
                        "SI1e9,1e9;DI1e-300,0;LBX\x03EW-1e9,1e9,1e9;LT1e9,1e9;PD0,0;");
    ASSERT_TRUE(block.has_value());
    expectWellFormed(*block);
    for (const BlockItem& item : pointsOf(*block)) {
        EXPECT_LE(std::fabs(item.x), 1073741823.0f * 0.025f);
        EXPECT_LE(std::fabs(item.y), 1073741823.0f * 0.025f);
    }
}

TEST_F(ImportBadInput, RandomBytesAreRejectedOrReadQuickly)
{
    std::mt19937 random(4);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    EXPECT_FALSE(module.read(dir.write("random.bin", bytes)).has_value());

    // Random printable text passes the binary check and is read as instructions; whatever it draws
    // comes out well formed.
    std::string text(1 << 20, ' ');
    const std::string alphabet = "PUDARCIBZELTSMNWG0123456789,.;-+ \n\x03";
    for (char& c : text)
        c = alphabet[random() % alphabet.size()];
    std::optional<Block> block = module.read(dir.write("random.plt", text));
    if (block)
        expectWellFormed(*block);
}

TEST_F(ImportBadInput, LongDrawingsAreSplitIntoContinuingPaths)
{
    std::string text = "PU0,0;PD";
    for (int i = 1; i <= 250000; ++i)
        text += std::to_string(i % 2 ? 400 : 0) + "," + std::to_string(i) + ",";
    std::optional<Block> block = module.readText(text);
    ASSERT_TRUE(block.has_value());
    expectWellFormed(*block);
    ASSERT_EQ(block->paths.size(), 2u);
    EXPECT_LE(block->paths[0].items.size(), 200000u);
    // The second path starts where the first one stopped, so no line is lost.
    const std::vector<BlockItem>& first = block->paths[0].items;
    const BlockItem& last = first[first.size() - 2];
    EXPECT_EQ(last.flags, 0x21);
    const BlockItem& next = block->paths[1].items[0];
    EXPECT_EQ(next.flags, 0x11);
    EXPECT_EQ(next.x, last.x);
    EXPECT_EQ(next.y, last.y);
    EXPECT_EQ(first.size() + block->paths[1].items.size(), 250001u + 1 + 2);
}

// Numbers of every length up to ten digits, signed or not, ended by each kind of byte that can follow a
// number, with room after them in the file and at its very end, where the scanner reads differently.
TEST_F(ImportBadInput, NumbersOfEveryLengthAreReadWhole)
{
    const std::string allDigits = "9876543210";
    for (std::size_t length = 1; length <= allDigits.size(); ++length) {
        const std::string digits = allDigits.substr(allDigits.size() - length);
        for (const char* sign : {"", "-"}) {
            for (const char* after : {";PU;              ", ",              ", " 5;PU;         ",
                                      ".5;PU;         ", "e1;PU;          ", "PU;              ", ""}) {
                const std::string text = std::string("PU0,0;PD3,") + sign + digits + after;
                SCOPED_TRACE(text);
                std::optional<Block> block = module.readText(text);
                ASSERT_TRUE(block.has_value());
                const std::vector<BlockItem> points = pointsOf(*block);
                ASSERT_GE(points.size(), 2u);
                double units = std::stod(std::string(sign) + digits + (after[0] == '.' ? ".5" : ""));
                if (after[0] == 'e')
                    units *= 10;
                units = std::clamp(units, -1073741823.0, 1073741823.0);
                EXPECT_NEAR(points[1].y, units * 0.025f, std::fabs(units) * 1e-6);
            }
        }
    }
}

} // namespace
