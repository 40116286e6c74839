#include "filters/StrokeFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

using strokefont::glyph;
using strokefont::GlyphPoint;

std::vector<unsigned char> codesFrom(int first, int last)
{
    std::vector<unsigned char> codes;
    for (int c = first; c <= last; ++c)
        codes.push_back(static_cast<unsigned char>(c));
    return codes;
}

const std::vector<unsigned char> kPrintableAscii = codesFrom(0x21, 0x7E);
const std::vector<unsigned char> kLatin1Letters = codesFrom(0xC0, 0xFF);

std::string describe(unsigned char c)
{
    return "character 0x" + (std::stringstream() << std::hex << int(c)).str();
}

float top(std::span<const GlyphPoint> points)
{
    return std::max_element(points.begin(), points.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

float bottom(std::span<const GlyphPoint> points)
{
    return std::min_element(points.begin(), points.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

bool samePoints(std::span<const GlyphPoint> a, std::span<const GlyphPoint> b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const GlyphPoint& p, const GlyphPoint& q) {
        return p.x == q.x && p.y == q.y && p.penDown == q.penDown;
    });
}

bool hasOwnGlyph(unsigned char c) { return !samePoints(glyph(c), glyph(0x01)); }

// Every character the font draws, apart from the spaces.
std::vector<unsigned char> drawnCharacters()
{
    std::vector<unsigned char> codes;
    for (unsigned char c : codesFrom(0x21, 0xFF))
        if (hasOwnGlyph(c) && c != 0xA0)
            codes.push_back(c);
    return codes;
}

// Every stroke opens with a pen-up move and draws at least one line, inside the cell.
void expectWellFormed(unsigned char c, float highest)
{
    SCOPED_TRACE(describe(c));
    const auto points = glyph(c);
    ASSERT_FALSE(points.empty());
    EXPECT_FALSE(points.front().penDown);
    EXPECT_TRUE(points.back().penDown);
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        if (!points[i].penDown) {
            EXPECT_TRUE(points[i + 1].penDown) << "stroke of a single point at " << i;
        }
    for (const GlyphPoint& p : points) {
        EXPECT_GE(p.x, 0.0f);
        EXPECT_LE(p.x, 1.0f);
        EXPECT_GE(p.y, -0.4f);
        EXPECT_LE(p.y, highest);
    }
}

TEST(StrokeFont, PrintableAsciiAndLatin1LettersHaveTheirOwnGlyph)
{
    for (unsigned char c : kPrintableAscii)
        EXPECT_TRUE(hasOwnGlyph(c)) << describe(c);
    for (unsigned char c : kLatin1Letters)
        EXPECT_TRUE(hasOwnGlyph(c)) << describe(c);
    // The signs of Roman-8 that labels of sets 7 and 277 reach, Latin-1's and the font's own codes.
    using namespace strokefont;
    const unsigned char signs[] = {
        0xA3,     0xA4, 0xA7, 0xA8,  0xAA,      0xAF,    0xB4,           0xB6,         0xBA,
        0xBC,     0xBD, 0xBE, kLira, kLongDash, kFlorin, kCapitalSCaron, kSmallSCaron, kCapitalYDiaeresis,
        kSolidBox};
    for (unsigned char c : signs)
        EXPECT_TRUE(hasOwnGlyph(c)) << describe(c);
}

TEST(StrokeFont, EveryGlyphIsDrawnInsideItsCell)
{
    // Only accents over capitals reach above the cap height.
    for (unsigned char c : drawnCharacters())
        expectWellFormed(c, (c >= 0xC0 && c <= 0xDE) || c == strokefont::kCapitalSCaron ||
                                    c == strokefont::kCapitalYDiaeresis
                                ? 1.3f
                                : 1.0f);
}

TEST(StrokeFont, SpacesDrawNothing)
{
    EXPECT_TRUE(glyph(' ').empty());
    EXPECT_TRUE(glyph(0xA0).empty());
}

TEST(StrokeFont, CharactersWithoutGlyphDrawAClosedBox)
{
    const auto box = glyph(0x01);
    ASSERT_GE(box.size(), 5u);
    EXPECT_EQ(box.front().x, box.back().x);
    EXPECT_EQ(box.front().y, box.back().y);
    EXPECT_EQ(std::count_if(box.begin(), box.end(), [](auto p) { return !p.penDown; }), 1);
    for (unsigned char c : {0x00, 0x0A, 0x1F, 0x7F, 0x87, 0x9F, 0xAD})
        EXPECT_TRUE(samePoints(glyph(c), box)) << describe(c);
}

TEST(StrokeFont, NoTwoCharactersShareAGlyph)
{
    const std::vector<unsigned char> codes = drawnCharacters();
    for (std::size_t i = 0; i < codes.size(); ++i)
        for (std::size_t j = i + 1; j < codes.size(); ++j)
            EXPECT_FALSE(samePoints(glyph(codes[i]), glyph(codes[j])))
                << describe(codes[i]) << " and " << describe(codes[j]);
}

// Letters of one kind line up: a label whose heights wander is unreadable on the plot.
TEST(StrokeFont, LettersShareCapHeightXHeightAndBaseline)
{
    for (unsigned char c : std::string("ABCDEFGHIJKLMNOPRSTUVWXYZ0123456789bdfhklt")) {
        SCOPED_TRACE(describe(c));
        EXPECT_FLOAT_EQ(top(glyph(c)), 1.0f);
        EXPECT_FLOAT_EQ(bottom(glyph(c)), 0.0f);
    }
    for (unsigned char c : std::string("acemnorsuvwxz")) {
        SCOPED_TRACE(describe(c));
        EXPECT_FLOAT_EQ(top(glyph(c)), 0.7f);
        EXPECT_FLOAT_EQ(bottom(glyph(c)), 0.0f);
    }
    for (unsigned char c : std::string("gjpqy")) {
        SCOPED_TRACE(describe(c));
        EXPECT_FLOAT_EQ(bottom(glyph(c)), -0.3f);
    }
}

// An accented letter is its base letter with the accent added above it (below it for the cedilla).
TEST(StrokeFont, AccentedLettersKeepTheirBaseLetter)
{
    const struct {
        unsigned char accented;
        char base;
        bool accentAbove;
    } cases[] = {{0xC0, 'A', true}, {0xC7, 'C', false}, {0xD1, 'N', true}, {0xDC, 'U', true},
                 {0xE9, 'e', true}, {0xE7, 'c', false}, {0xF6, 'o', true}, {0xFF, 'y', true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(describe(c.accented));
        const auto base = glyph(static_cast<unsigned char>(c.base));
        const auto accented = glyph(c.accented);
        ASSERT_GT(accented.size(), base.size());
        EXPECT_TRUE(samePoints(accented.first(base.size()), base));
        const auto accent = accented.subspan(base.size());
        if (c.accentAbove) {
            EXPECT_GT(bottom(accent), top(base));
        } else {
            EXPECT_LT(bottom(accent), bottom(base));
        }
    }
}

} // namespace
