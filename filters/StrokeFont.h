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
// Characters are Latin-1 bytes; accents over the Latin-1 capitals (0xC0..0xDE) reach above the cap
// height, to 1.3.
std::span<const GlyphPoint> glyph(unsigned char c);

} // namespace strokefont
