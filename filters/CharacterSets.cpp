#include "filters/CharacterSets.h"

namespace hpgl {

namespace {

// No glyph of the font stands at DEL, so it draws the missing-character mark.
constexpr unsigned char kMissing = 0x7F;

// Roman-8 0xA0..0xFF as Latin-1 codes.
constexpr unsigned char kRoman8UpperHalf[96] = {
    0xA0, 0xC0,     0xC2, 0xC8, 0xCA,     0xCB, 0xCE, 0xCF,     0xB4,     kMissing, kMissing,
    0xA8, kMissing, 0xD9, 0xDB, kMissing, 0xAF, 0xDD, 0xFD,     0xB0,     0xC7,     0xE7,
    0xD1, 0xF1,     0xA1, 0xBF, 0xA4,     0xA3, 0xA5, 0xA7,     kMissing, 0xA2,     0xE2,
    0xEA, 0xF4,     0xFB, 0xE1, 0xE9,     0xF3, 0xFA, 0xE0,     0xE8,     0xF2,     0xF9,
    0xE4, 0xEB,     0xF6, 0xFC, 0xC5,     0xEE, 0xD8, 0xC6,     0xE5,     0xED,     0xF8,
    0xE6, 0xC4,     0xEC, 0xD6, 0xDC,     0xC9, 0xEF, 0xDF,     0xD4,     0xC1,     0xC3,
    0xE3, 0xD0,     0xF0, 0xCD, 0xCC,     0xD3, 0xD2, 0xD5,     0xF5,     kMissing, kMissing,
    0xDA, kMissing, 0xFF, 0xDE, 0xFE,     0xB7, 0xB5, 0xB6,     0xBE,     kMissing, 0xBC,
    0xBD, 0xAA,     0xBA, 0xAB, kMissing, 0xBB, 0xB1, kMissing,
};

unsigned char roman8(unsigned char c) { return c >= 0xA0 ? kRoman8UpperHalf[c - 0xA0] : kMissing; }

} // namespace

unsigned char toFontCode(unsigned char c, int set)
{
    if (c == 0x7F)
        return kMissing;
    switch (set) {
    case kSetAscii: // NOLINT(bugprone-branch-clone): two sets, one rule each
        // Bytes above ASCII have no meaning in this set; the programs that send them mean Latin-1.
        return c;
    case kSetLatin1:
        return c;
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
