#include "filters/StrokeFont.h"

#include "filters/StrokeFontGlyphs.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

// The glyph designs are decoded at compile time into one constant table of points, so looking up a
// glyph costs an index and never allocates, and a malformed design fails the build.
namespace strokefont {
namespace {

using namespace designs;

constexpr float kGridUnits = 10.0f; // grid steps per cell width and per cap height
constexpr int kGridRight = 10;
constexpr int kGridBottom = -3;
constexpr int kGridCapHeight = 10;
constexpr int kGridAccentTop = 13;

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a design "x,y x,y / x,y ..." and calls emit(x, y + raise, penDown) for every point, in grid
// units; the first point of each stroke is a pen-up move. Returns false for malformed text or a stroke
// of fewer than two points.
template <typename Emit> constexpr bool readStrokes(std::string_view text, int raise, Emit emit)
{
    std::size_t i = 0;
    auto skipSpaces = [&] {
        while (i < text.size() && text[i] == ' ')
            ++i;
    };
    auto readInt = [&](int& value) {
        const bool negative = i < text.size() && text[i] == '-';
        if (negative)
            ++i;
        const std::size_t start = i;
        value = 0;
        while (i < text.size() && isDigit(text[i]))
            value = value * 10 + (text[i++] - '0');
        if (negative)
            value = -value;
        return i > start && i - start <= 2;
    };

    int pointsInStroke = 0;
    skipSpaces();
    while (i < text.size()) {
        if (text[i] == '/') {
            if (pointsInStroke < 2)
                return false;
            pointsInStroke = 0;
            ++i;
            skipSpaces();
            continue;
        }
        int x = 0;
        int y = 0;
        if (!readInt(x) || i >= text.size() || text[i] != ',')
            return false;
        ++i;
        if (!readInt(y) || (i < text.size() && text[i] != ' '))
            return false;
        emit(x, y + raise, pointsInStroke > 0);
        ++pointsInStroke;
        skipSpaces();
    }
    return pointsInStroke >= 2;
}

// One glyph of the font: its own strokes and, for a letter with an accent, the raised accent.
struct Design {
    unsigned char code = 0;
    std::string_view strokes;
    std::string_view accent;
    int raise = 0;
};

constexpr std::string_view strokesOf(unsigned char code)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.code == code)
            return glyph.strokes;
    return {};
}

constexpr std::size_t kDesignCount = std::size(kGlyphs) + std::size(kAccentedGlyphs);

constexpr std::array<Design, kDesignCount> collectDesigns()
{
    std::array<Design, kDesignCount> designs{};
    std::size_t next = 0;
    for (const Glyph& glyph : kGlyphs)
        designs[next++] = {glyph.code, glyph.strokes, {}, 0};
    for (const AccentedGlyph& glyph : kAccentedGlyphs) {
        const std::string_view base = glyph.base == 0 ? kDotlessI : strokesOf(glyph.base);
        designs[next++] = {glyph.code, base, glyph.accent, glyph.raise};
    }
    return designs;
}

constexpr std::array<Design, kDesignCount> kDesigns = collectDesigns();

constexpr bool isDrawnWithin(std::string_view strokes, int raise, int top)
{
    bool inside = true;
    const bool readable = readStrokes(strokes, raise, [&](int x, int y, bool) {
        inside = inside && x >= 0 && x <= kGridRight && y >= kGridBottom && y <= top;
    });
    return readable && inside;
}

constexpr bool allDesignsSound()
{
    if (!isDrawnWithin(kReplacement, 0, kGridCapHeight))
        return false;
    std::array<bool, 256> defined{};
    for (const Design& design : kDesigns) {
        if (design.code == ' ' || defined[design.code])
            return false;
        defined[design.code] = true;
        if (!isDrawnWithin(design.strokes, 0, kGridCapHeight))
            return false;
        if (!design.accent.empty() && !isDrawnWithin(design.accent, design.raise, kGridAccentTop))
            return false;
    }
    return true;
}
static_assert(allDesignsSound(), "a glyph design is malformed, leaves its cell or is defined twice");

constexpr std::size_t countPoints(std::string_view strokes)
{
    std::size_t count = 0;
    readStrokes(strokes, 0, [&](int, int, bool) { ++count; });
    return count;
}

constexpr std::size_t totalPoints()
{
    std::size_t total = countPoints(kReplacement);
    for (const Design& design : kDesigns)
        total += countPoints(design.strokes) + countPoints(design.accent);
    return total;
}

constexpr std::size_t kTotalPoints = totalPoints();
static_assert(kTotalPoints <= UINT16_MAX);

struct Range {
    std::uint16_t first = 0;
    std::uint16_t count = 0;
};

struct Font {
    std::array<GlyphPoint, kTotalPoints> points{};
    std::array<Range, 256> ranges{};
};

constexpr Font buildFont()
{
    Font font;
    std::size_t next = 0;
    auto append = [&](std::string_view strokes, int raise) {
        readStrokes(strokes, raise, [&](int x, int y, bool penDown) {
            font.points[next++] = {static_cast<float>(x) / kGridUnits, static_cast<float>(y) / kGridUnits,
                                   penDown};
        });
    };

    append(kReplacement, 0);
    font.ranges.fill({0, static_cast<std::uint16_t>(next)});
    font.ranges[' '] = {};
    font.ranges[0xA0] = {}; // no-break space

    for (const Design& design : kDesigns) {
        const std::size_t first = next;
        append(design.strokes, 0);
        if (!design.accent.empty())
            append(design.accent, design.raise);
        font.ranges[design.code] = {static_cast<std::uint16_t>(first),
                                    static_cast<std::uint16_t>(next - first)};
    }
    return font;
}

constexpr Font kFont = buildFont();

} // namespace

std::span<const GlyphPoint> glyph(unsigned char c)
{
    const Range range = kFont.ranges[c];
    return {kFont.points.data() + range.first, range.count};
}

} // namespace strokefont
