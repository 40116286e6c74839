#pragma once
// The designs of the stroke font, included only by StrokeFont.cpp.
//
// Each glyph is drawn on a grid of tenths of the character cell: x runs 0..10 across the cell, y runs
// from -3 (descender) through 7 (x-height) to 10 (cap height); accents over capitals reach 13.
// A glyph is a list of strokes separated by " / "; a stroke is a list of "x,y" points joined by lines.
#include <string_view>

namespace strokefont::designs {

struct Glyph {
    unsigned char code;
    std::string_view strokes;
};

// Drawn when the font has no glyph for a character: an open box.
inline constexpr std::string_view kReplacement = "1,0 9,0 9,10 1,10 1,0";

// The tables keep one entry a line, lined up by hand.
// clang-format off
inline constexpr Glyph kGlyphs[] = {
    // Punctuation and symbols
    {'!', "5,10 5,3 / 5,1 5,0"},
    {'"', "3,10 3,7 / 7,10 7,7"},
    {'#', "3,0 4,10 / 6,0 7,10 / 0,3 9,3 / 1,7 10,7"},
    {'$', "10,8 8,9 2,9 0,8 0,6 2,5 8,5 10,4 10,2 8,1 2,1 0,2 / 5,10 5,0"},
    {'%', "0,0 10,10 / 1,10 3,10 4,9 4,7 3,6 1,6 0,7 0,9 1,10 / 7,4 9,4 10,3 10,1 9,0 7,0 6,1 6,3 7,4"},
    {'&', "10,0 2,7 2,9 3,10 5,10 6,9 6,7 0,3 0,1 1,0 5,0 9,4"},
    {'\'', "5,10 5,7"},
    {'(', "7,10 5,8 4,5 4,2 5,0 7,-2"},
    {')', "3,10 5,8 6,5 6,2 5,0 3,-2"},
    {'*', "5,9 5,3 / 2,8 8,4 / 2,4 8,8"},
    {'+', "5,1 5,9 / 1,5 9,5"},
    {',', "5,1 5,0 4,-2"},
    {'-', "1,5 9,5"},
    {'.', "5,0 5,1"},
    {'/', "1,0 9,10"},
    {':', "5,7 5,6 / 5,1 5,0"},
    {';', "5,7 5,6 / 5,1 5,0 4,-2"},
    {'<', "9,9 1,5 9,1"},
    {'=', "1,3 9,3 / 1,7 9,7"},
    {'>', "1,9 9,5 1,1"},
    {'?', "0,8 2,10 8,10 10,8 10,7 5,4 5,3 / 5,1 5,0"},
    {'@', "7,4 6,3 4,3 3,4 3,6 4,7 6,7 7,6 7,3 9,3 10,5 10,7 8,10 2,10 0,8 0,2 2,0 8,0"},
    {'[', "7,10 4,10 4,-2 7,-2"},
    {'\\', "1,10 9,0"},
    {']', "3,10 6,10 6,-2 3,-2"},
    {'^', "2,6 5,10 8,6"},
    {'_', "0,-2 10,-2"},
    {'`', "4,10 6,8"},
    {'{', "7,10 6,10 5,9 5,5 3,4 5,3 5,-1 6,-2 7,-2"},
    {'|', "5,10 5,-2"},
    {'}', "3,10 4,10 5,9 5,5 7,4 5,3 5,-1 4,-2 3,-2"},
    {'~', "1,5 2,6 4,6 6,4 8,4 9,5"},

    // Digits
    {'0', "4,0 6,0 8,1 9,3 9,7 8,9 6,10 4,10 2,9 1,7 1,3 2,1 4,0"},
    {'1', "2,8 5,10 5,0 / 2,0 8,0"},
    {'2', "0,8 2,10 8,10 10,8 10,6 0,0 10,0"},
    {'3', "0,8 2,10 8,10 10,8 10,7 8,5 4,5 / 8,5 10,3 10,2 8,0 2,0 0,2"},
    {'4', "7,0 7,10 0,3 10,3"},
    {'5', "10,10 1,10 0,5 2,6 7,6 9,5 10,3 10,2 9,1 7,0 2,0 0,2"},
    {'6', "9,10 4,10 1,8 0,5 0,2 2,0 8,0 10,2 10,4 8,6 2,6 0,4"},
    {'7', "0,10 10,10 3,0"},
    {'8', "3,5 1,6 1,9 2,10 8,10 9,9 9,6 7,5 3,5 0,4 0,1 1,0 9,0 10,1 10,4 7,5"},
    {'9', "1,0 6,0 9,2 10,5 10,8 8,10 2,10 0,8 0,6 2,4 8,4 10,6"},

    // Capitals
    {'A', "0,0 5,10 10,0 / 2,4 8,4"},
    {'B', "0,5 7,5 9,6 9,9 7,10 0,10 0,0 8,0 10,1 10,4 8,5 7,5"},
    {'C', "10,8 8,10 3,10 1,9 0,7 0,3 1,1 3,0 8,0 10,2"},
    {'D', "0,0 0,10 6,10 9,8 10,6 10,4 9,2 6,0 0,0"},
    {'E', "10,10 0,10 0,0 10,0 / 0,5 7,5"},
    {'F', "10,10 0,10 0,0 / 0,5 7,5"},
    {'G', "10,8 8,10 3,10 1,9 0,7 0,3 1,1 3,0 8,0 10,2 10,5 6,5"},
    {'H', "0,0 0,10 / 10,0 10,10 / 0,5 10,5"},
    {'I', "5,0 5,10 / 2,10 8,10 / 2,0 8,0"},
    {'J', "3,10 10,10 / 8,10 8,2 6,0 3,0 1,1 0,3"},
    {'K', "0,0 0,10 / 10,10 0,3 / 3,5 10,0"},
    {'L', "0,10 0,0 10,0"},
    {'M', "0,0 0,10 5,3 10,10 10,0"},
    {'N', "0,0 0,10 10,0 10,10"},
    {'O', "3,0 7,0 9,1 10,3 10,7 9,9 7,10 3,10 1,9 0,7 0,3 1,1 3,0"},
    {'P', "0,0 0,10 8,10 10,9 10,6 8,5 0,5"},
    {'Q', "3,0 7,0 9,1 10,3 10,7 9,9 7,10 3,10 1,9 0,7 0,3 1,1 3,0 / 6,3 10,-1"},
    {'R', "0,0 0,10 8,10 10,9 10,6 8,5 0,5 / 5,5 10,0"},
    {'S', "10,8 8,10 2,10 0,8 0,7 1,6 9,4 10,3 10,2 8,0 2,0 0,2"},
    {'T', "0,10 10,10 / 5,10 5,0"},
    {'U', "0,10 0,3 1,1 3,0 7,0 9,1 10,3 10,10"},
    {'V', "0,10 5,0 10,10"},
    {'W', "0,10 2,0 5,8 8,0 10,10"},
    {'X', "0,0 10,10 / 0,10 10,0"},
    {'Y', "0,10 5,5 10,10 / 5,5 5,0"},
    {'Z', "0,10 10,10 0,0 10,0"},

    // Small letters
    {'a', "10,7 10,0 / 10,5 8,7 3,7 1,6 0,4 0,3 1,1 3,0 8,0 10,2"},
    {'b', "0,10 0,0 / 0,5 2,7 7,7 9,6 10,4 10,3 9,1 7,0 2,0 0,2"},
    {'c', "10,5 8,7 3,7 1,6 0,4 0,3 1,1 3,0 8,0 10,2"},
    {'d', "10,10 10,0 / 10,5 8,7 3,7 1,6 0,4 0,3 1,1 3,0 8,0 10,2"},
    {'e', "0,4 10,4 9,6 7,7 3,7 1,6 0,4 0,3 1,1 3,0 8,0 10,2"},
    {'f', "9,10 6,10 4,8 4,0 / 1,7 8,7"},
    {'g', "10,7 10,-1 8,-3 2,-3 0,-2 / 10,5 8,7 3,7 1,6 0,4 0,3 1,1 3,0 8,0 10,2"},
    {'h', "0,10 0,0 / 0,5 2,7 8,7 10,5 10,0"},
    {'i', "5,7 5,0 / 5,9 5,10"},
    {'j', "7,7 7,-2 6,-3 3,-3 1,-2 / 7,9 7,10"},
    {'k', "0,10 0,0 / 10,7 0,2 / 4,4 10,0"},
    {'l', "4,10 4,1 5,0 7,0"},
    {'m', "0,7 0,0 / 0,5 1,7 4,7 5,5 5,0 / 5,5 6,7 9,7 10,5 10,0"},
    {'n', "0,7 0,0 / 0,5 2,7 8,7 10,5 10,0"},
    {'o', "3,0 7,0 9,1 10,3 10,4 9,6 7,7 3,7 1,6 0,4 0,3 1,1 3,0"},
    {'p', "0,7 0,-3 / 0,5 2,7 7,7 9,6 10,4 10,3 9,1 7,0 2,0 0,2"},
    {'q', "10,7 10,-3 / 10,5 8,7 3,7 1,6 0,4 0,3 1,1 3,0 8,0 10,2"},
    {'r', "0,7 0,0 / 0,4 2,6 4,7 8,7 10,6"},
    {'s', "10,6 8,7 2,7 0,6 0,5 1,4 9,3 10,2 10,1 8,0 2,0 0,1"},
    {'t', "4,10 4,1 5,0 8,0 / 1,7 8,7"},
    {'u', "0,7 0,2 2,0 8,0 10,2 / 10,7 10,0"},
    {'v', "0,7 5,0 10,7"},
    {'w', "0,7 2,0 5,5 8,0 10,7"},
    {'x', "0,0 10,7 / 0,7 10,0"},
    {'y', "0,7 5,0 / 10,7 3,-3 1,-3"},
    {'z', "0,7 10,7 0,0 10,0"},

    // Latin-1 signs used in annotations
    {0xA1, "5,7 5,6 / 5,4 5,-3"},                                             // inverted !
    {0xA2, "10,5 8,7 3,7 1,6 0,4 0,3 1,1 3,0 8,0 10,2 / 5,9 5,-2"},           // cent
    {0xA3, "9,9 7,10 5,10 3,8 3,0 / 0,0 10,0 / 0,5 6,5"},                     // pound
    {0xA4, "3,2 7,2 8,3 8,7 7,8 3,8 2,7 2,3 3,2 / 0,0 2,2 / 10,0 8,2 / 0,10 2,8 / 10,10 8,8"},  // currency
    {0xA5, "0,10 5,5 10,10 / 5,5 5,0 / 2,4 8,4 / 2,2 8,2"},                   // yen
    {0xA7, "8,9 7,10 3,10 2,9 2,8 8,5 8,4 7,3 / 3,7 2,6 2,5 8,2 8,1 7,0 3,0 2,1"},  // section
    {0xA8, "3,9 3,10 / 7,9 7,10"},                                             // diaeresis
    {0xA9, "3,0 7,0 9,1 10,3 10,7 9,9 7,10 3,10 1,9 0,7 0,3 1,1 3,0 / 7,6 6,7 4,7 3,6 3,4 4,3 6,3 7,4"},  // copyright
    {0xAA, "2,8 3,9 7,9 7,5 / 7,7 3,7 2,6 3,5 7,5 / 2,3 8,3"},                // feminine ordinal
    {0xAB, "5,6 2,4 5,2 / 9,6 6,4 9,2"},                                      // <<
    {0xAC, "1,5 9,5 9,3"},                                                    // not
    {0xAF, "1,10 9,10"},                                                      // macron
    {0xB0, "4,10 6,10 7,9 7,7 6,6 4,6 3,7 3,9 4,10"},                         // degree
    {0xB1, "5,3 5,9 / 1,6 9,6 / 1,1 9,1"},                                   // plus-minus
    {0xB2, "3,9 4,10 6,10 7,9 7,8 3,5 7,5"},                                 // superscript 2
    {0xB3, "3,10 7,10 5,8 6,8 7,7 7,6 6,5 3,5"},                             // superscript 3
    {0xB4, "4,8 6,10"},                                                       // acute accent
    {0xB5, "0,7 0,-3 / 0,2 2,0 8,0 10,2 / 10,7 10,0"},                       // micro
    {0xB6, "10,10 10,-2 / 7,10 7,-2 / 10,10 4,10 2,9 1,7 2,5 4,4 7,4"},      // pilcrow
    {0xB7, "5,4 5,5"},                                                        // middle dot
    {0xBA, "3,10 7,10 8,9 8,7 7,6 3,6 2,7 2,9 3,10 / 2,4 8,4"},              // masculine ordinal
    {0xBB, "1,6 4,4 1,2 / 5,6 8,4 5,2"},                                      // >>
    {0xBC, "2,9 3,10 3,5 / 0,0 10,10 / 8,0 8,5 5,2 10,2"},                    // one quarter
    {0xBD, "2,9 3,10 3,5 / 0,0 10,10 / 6,4 7,5 9,5 10,4 10,3 6,0 10,0"},      // one half
    {0xBE, "0,10 3,10 2,8 3,8 4,7 4,6 3,5 0,5 / 0,0 10,10 / 8,0 8,5 5,2 10,2"},  // three quarters
    {0xBF, "5,7 5,6 / 5,4 5,3 0,0 0,-1 2,-3 8,-3 10,-1"},                     // inverted ?
    {0xD7, "2,2 8,8 / 2,8 8,2"},                                             // multiplication
    {0xF7, "1,5 9,5 / 5,8 5,9 / 5,1 5,2"},                                   // division

    // Latin-1 letters that are not a letter with an accent
    {0xC6, "0,0 5,10 10,10 / 5,10 5,0 10,0 / 5,5 9,5 / 2,4 5,4"},             // AE
    {0xD0, "1,0 1,10 6,10 9,8 10,6 10,4 9,2 6,0 1,0 / 0,5 4,5"},             // Eth
    {0xD8, "3,0 7,0 9,1 10,3 10,7 9,9 7,10 3,10 1,9 0,7 0,3 1,1 3,0 / 0,0 10,10"},  // O stroke
    {0xDE, "0,0 0,10 / 0,8 7,8 9,7 10,6 10,4 9,3 7,2 0,2"},                   // Thorn
    {0xDF, "0,0 0,8 2,10 7,10 9,9 9,7 6,5 9,4 10,3 10,1 9,0 6,0"},            // sharp s
    {0xE6, "5,7 5,0 / 5,5 4,7 1,7 0,5 0,2 1,0 4,0 5,2 / 5,4 10,4 10,6 9,7 6,7 5,5 / 5,2 6,0 9,0 10,1"},  // ae
    {0xF0, "10,4 9,6 7,7 3,7 1,6 0,4 0,3 1,1 3,0 7,0 9,1 10,3 10,6 9,8 6,10 / 4,8 9,10"},  // eth
    {0xF8, "3,0 7,0 9,1 10,3 10,4 9,6 7,7 3,7 1,6 0,4 0,3 1,1 3,0 / 0,0 10,7"},  // o stroke
    {0xFE, "0,10 0,-3 / 0,5 2,7 7,7 9,6 10,4 10,3 9,1 7,0 2,0 0,2"},          // thorn

    // Roman-8 characters that Latin-1 lacks, at codes that Latin-1 leaves to control characters
    {kLira, "9,9 7,10 5,10 3,8 3,0 / 0,0 10,0 / 0,6 6,6 / 0,4 6,4"},
    {kLongDash, "0,5 10,5"},
    {kFlorin, "9,10 7,10 5,8 4,-1 2,-3 0,-3 / 2,5 7,5"},
    {kSolidBox, "2,1 8,1 8,7 2,7 2,1 / 2,3 8,3 / 2,5 8,5 / 5,1 5,7"},
};

// Accents, drawn with their foot at y 0 and raised over the letter; the cedilla hangs below the
// baseline and is not raised.
inline constexpr std::string_view kGrave = "4,2 6,0";
inline constexpr std::string_view kAcute = "4,0 6,2";
inline constexpr std::string_view kCircumflex = "3,0 5,2 7,0";
inline constexpr std::string_view kTilde = "2,0 3,1 4,1 6,0 7,0 8,1";
inline constexpr std::string_view kDiaeresis = "3,1 3,2 / 7,1 7,2";
inline constexpr std::string_view kRing = "4,0 6,0 6,2 4,2 4,0";
inline constexpr std::string_view kCedilla = "5,0 6,-1 6,-2 5,-3 3,-3";
inline constexpr std::string_view kCaron = "3,2 5,0 7,2";

inline constexpr int kOverCapital = 11;
inline constexpr int kOverSmall = 8;
inline constexpr int kBelow = 0;

// The small i loses its dot under an accent.
inline constexpr std::string_view kDotlessI = "5,7 5,0";

struct AccentedGlyph {
  unsigned char code;
  unsigned char base;       // the glyph the accent goes on, or 0 for kDotlessI
  std::string_view accent;
  int raise;
};

inline constexpr AccentedGlyph kAccentedGlyphs[] = {
    {0xC0, 'A', kGrave, kOverCapital},      {0xC1, 'A', kAcute, kOverCapital},
    {0xC2, 'A', kCircumflex, kOverCapital}, {0xC3, 'A', kTilde, kOverCapital},
    {0xC4, 'A', kDiaeresis, kOverCapital},  {0xC5, 'A', kRing, kOverCapital},
    {0xC7, 'C', kCedilla, kBelow},
    {0xC8, 'E', kGrave, kOverCapital},      {0xC9, 'E', kAcute, kOverCapital},
    {0xCA, 'E', kCircumflex, kOverCapital}, {0xCB, 'E', kDiaeresis, kOverCapital},
    {0xCC, 'I', kGrave, kOverCapital},      {0xCD, 'I', kAcute, kOverCapital},
    {0xCE, 'I', kCircumflex, kOverCapital}, {0xCF, 'I', kDiaeresis, kOverCapital},
    {0xD1, 'N', kTilde, kOverCapital},
    {0xD2, 'O', kGrave, kOverCapital},      {0xD3, 'O', kAcute, kOverCapital},
    {0xD4, 'O', kCircumflex, kOverCapital}, {0xD5, 'O', kTilde, kOverCapital},
    {0xD6, 'O', kDiaeresis, kOverCapital},
    {0xD9, 'U', kGrave, kOverCapital},      {0xDA, 'U', kAcute, kOverCapital},
    {0xDB, 'U', kCircumflex, kOverCapital}, {0xDC, 'U', kDiaeresis, kOverCapital},
    {0xDD, 'Y', kAcute, kOverCapital},

    {0xE0, 'a', kGrave, kOverSmall},        {0xE1, 'a', kAcute, kOverSmall},
    {0xE2, 'a', kCircumflex, kOverSmall},   {0xE3, 'a', kTilde, kOverSmall},
    {0xE4, 'a', kDiaeresis, kOverSmall},    {0xE5, 'a', kRing, kOverSmall},
    {0xE7, 'c', kCedilla, kBelow},
    {0xE8, 'e', kGrave, kOverSmall},        {0xE9, 'e', kAcute, kOverSmall},
    {0xEA, 'e', kCircumflex, kOverSmall},   {0xEB, 'e', kDiaeresis, kOverSmall},
    {0xEC, 0, kGrave, kOverSmall},          {0xED, 0, kAcute, kOverSmall},
    {0xEE, 0, kCircumflex, kOverSmall},     {0xEF, 0, kDiaeresis, kOverSmall},
    {0xF1, 'n', kTilde, kOverSmall},
    {0xF2, 'o', kGrave, kOverSmall},        {0xF3, 'o', kAcute, kOverSmall},
    {0xF4, 'o', kCircumflex, kOverSmall},   {0xF5, 'o', kTilde, kOverSmall},
    {0xF6, 'o', kDiaeresis, kOverSmall},
    {0xF9, 'u', kGrave, kOverSmall},        {0xFA, 'u', kAcute, kOverSmall},
    {0xFB, 'u', kCircumflex, kOverSmall},   {0xFC, 'u', kDiaeresis, kOverSmall},
    {0xFD, 'y', kAcute, kOverSmall},        {0xFF, 'y', kDiaeresis, kOverSmall},

    {kCapitalSCaron, 'S', kCaron, kOverCapital}, {kSmallSCaron, 's', kCaron, kOverSmall},
    {kCapitalYDiaeresis, 'Y', kDiaeresis, kOverCapital},
};
// clang-format on

} // namespace strokefont::designs
