#pragma once
#include <span>

namespace strokefont {

struct GlyphPoint {
    float x, y;
    bool penDown;
}; // penDown false: move to (x, y) — each stroke starts with one

// The strokes of one character in a cell where the character width (HP-GL SI width) is 1.0 and the cap
// height (SI height) is 1.0, origin at the left end of the baseline; descenders go below 0 (to about -0.35),
// nothing goes left of 0 or right of 1. Space gives no points. A character the font lacks gives the
// strokes of a visible replacement (an open box). Both come from static tables: no allocation.
// Characters are Latin-1 bytes, and 0x80..0x86 the Roman-8 characters Latin-1 lacks (lira, long dash,
// florin, S and s with caron, Y with diaeresis, solid box); accents over capitals (0xC0..0xDE, 0x83,
// 0x85) reach above the cap height, to 1.3.
std::span<const GlyphPoint> glyph(unsigned char c);

// The codes of the Roman-8 characters that Latin-1 lacks.
inline constexpr unsigned char kLira = 0x80;
inline constexpr unsigned char kLongDash = 0x81;
inline constexpr unsigned char kFlorin = 0x82;
inline constexpr unsigned char kCapitalSCaron = 0x83;
inline constexpr unsigned char kSmallSCaron = 0x84;
inline constexpr unsigned char kCapitalYDiaeresis = 0x85;
inline constexpr unsigned char kSolidBox = 0x86;

} // namespace strokefont
