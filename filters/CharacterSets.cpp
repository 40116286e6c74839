#include "filters/CharacterSets.h"

#include "filters/StrokeFont.h"

namespace hpgl {

namespace {

using namespace strokefont;

// No glyph of the font stands at DEL, so it draws the missing-character mark.
constexpr unsigned char kMissing = 0x7F;

// Roman-8 0xA0..0xFF as the font's codes: Latin-1, the spacing accents as their ASCII look-alikes,
// and the characters Latin-1 lacks at the font's own codes for them. One row of sixteen a line.
// clang-format off
constexpr unsigned char kRoman8UpperHalf[96] = {
    0xA0, 0xC0, 0xC2, 0xC8, 0xCA, 0xCB, 0xCE, 0xCF, 0xB4, '`', '^', 0xA8, '~', 0xD9, 0xDB, kLira,
    0xAF, 0xDD, 0xFD, 0xB0, 0xC7, 0xE7, 0xD1, 0xF1, 0xA1, 0xBF, 0xA4, 0xA3, 0xA5, 0xA7, kFlorin, 0xA2,
    0xE2, 0xEA, 0xF4, 0xFB, 0xE1, 0xE9, 0xF3, 0xFA, 0xE0, 0xE8, 0xF2, 0xF9, 0xE4, 0xEB, 0xF6, 0xFC,
    0xC5, 0xEE, 0xD8, 0xC6, 0xE5, 0xED, 0xF8, 0xE6, 0xC4, 0xEC, 0xD6, 0xDC, 0xC9, 0xEF, 0xDF, 0xD4,
    0xC1, 0xC3, 0xE3, 0xD0, 0xF0, 0xCD, 0xCC, 0xD3, 0xD2, 0xD5, 0xF5, kCapitalSCaron, kSmallSCaron, 0xDA, kCapitalYDiaeresis, 0xFF,
    0xDE, 0xFE, 0xB7, 0xB5, 0xB6, 0xBE, kLongDash, 0xBC, 0xBD, 0xAA, 0xBA, 0xAB, kSolidBox, 0xBB, 0xB1, kMissing,
};
// clang-format on

unsigned char roman8(unsigned char c) { return c >= 0xA0 ? kRoman8UpperHalf[c - 0xA0] : kMissing; }

} // namespace

unsigned char toFontCode(unsigned char c, int set)
{
    if (c == 0x7F)
        return kMissing;
    switch (set) {
    case kSetAscii:
        // Bytes above ASCII have no meaning in this set; the programs that send them mean Latin-1.
    case kSetLatin1:
        // Latin-1 leaves 0x80..0x9F to control characters.
        return c >= 0x80 && c < 0xA0 ? kMissing : c;
    case kSetRomanExtension:
        if (c == ' ')
            return c;
        return c > 0x20 && c < 0x7F ? roman8(static_cast<unsigned char>(c | 0x80)) : kMissing;
    case kSetRoman8:
        return c < 0x7F ? c : roman8(c);
    default:
        // The national and symbol sets differ from ASCII in a few places only; what lies beyond it
        // is not known here.
        return c < 0x7F ? c : kMissing;
    }
}

} // namespace hpgl
