#pragma once

namespace hpgl {

// Character set numbers of CS and CA.
inline constexpr int kSetAscii = 0;
inline constexpr int kSetRomanExtension = 7; // 7-bit: the upper half of Roman-8 at 0x21..0x7E
inline constexpr int kSetLatin1 = 14;        // ISO 8859-1
inline constexpr int kSetRoman8 = 277;

// The Latin-1 code whose glyph the stroke font draws for byte `c` of a label in character set `set`.
// A character the set does not hold, or one with no Latin-1 equivalent, gives a code the font has
// no glyph for, so that the font's missing-character mark is drawn.
unsigned char toFontCode(unsigned char c, int set);

} // namespace hpgl
