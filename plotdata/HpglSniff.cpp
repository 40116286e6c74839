#include "plotdata/HpglSniff.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr unsigned char ESC = 0x1b;

// The instructions a plot file commonly opens with.
constexpr std::array<std::string_view, 40> OPENING_INSTRUCTIONS = {
    "AA", "AR", "BP", "CA", "CI", "CO", "CS", "CT", "DF", "DI", "DT", "EA", "ER", "FT",
    "IN", "IP", "IW", "LB", "LT", "MC", "NP", "OP", "PA", "PC", "PD", "PE", "PG", "PR",
    "PS", "PU", "PW", "RO", "SA", "SC", "SI", "SP", "SS", "TR", "UL", "VS"};

bool isUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool isLetter(unsigned char c) { return isUpper(c) || (c >= 'a' && c <= 'z'); }

bool isInstruction(const unsigned char* at, std::size_t left)
{
    if (left < 2 || !isUpper(at[0]) || !isUpper(at[1]))
        return false;
    const std::string_view name(reinterpret_cast<const char*>(at), 2);
    return std::find(OPENING_INSTRUCTIONS.begin(), OPENING_INSTRUCTIONS.end(), name) !=
           OPENING_INSTRUCTIONS.end();
}

} // namespace

bool looksLikeHpgl(const unsigned char* data, std::size_t size)
{
    std::size_t at = 0;
    while (at < size && data[at] != ESC && (data[at] <= ' ' || data[at] == ';' || data[at] == 0x7f))
        ++at;
    if (at == size)
        return false;
    if (data[at] == ESC)
        return at + 1 < size && (data[at + 1] == '.' || data[at + 1] == '%' || data[at + 1] == 'E');
    if (!isInstruction(data + at, size - at))
        return false;
    at += 2;
    // Terminators are optional: the next instruction may follow at once.
    return at == size || !isLetter(data[at]) || isInstruction(data + at, size - at);
}
