#include "output/CommandTemplate.h"

#include <cstring>

namespace {

// Moves, lines and their relative forms take x and y; speed, force and feed one value; pen up, home and
// new frame go through the formatter with nothing. The others are written as they stand.
constexpr CommandTemplateInfo kTemplates[kCommandTemplateCount] = {
    {"RSCMD", kSentAsIs},  {"InitCmd", kSentAsIs}, {"RelativeCmd", kSentAsIs},
    {"AbsCmd", kSentAsIs}, {"SubJoin", kSentAsIs}, {"HomeCmd", 0},
    {"MoveTo", 2},         {"LineTo", 2},          {"LineToEx", 2},
    {"RMoveTo", 2},        {"RLineTo", 2},         {"RLineToEx", 2},
    {"PenUp", 0},          {"PenDown", kSentAsIs}, {"SpeedCmd", 1},
    {"ForceCmd", 1},       {"PlotCmd", kSentAsIs}, {"CutCmd", kSentAsIs},
    {"FeedCmd", 1},        {"NewFrame", 0},        {"OffsetCmd", kSentAsIs},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Skips at most two digits; false when a third follows.
bool skipShortNumber(const char*& p)
{
    int digits = 0;
    while (isDigit(*p)) {
        if (++digits > 2)
            return false;
        ++p;
    }
    return true;
}

} // namespace

const CommandTemplateInfo& commandTemplateInfo(CommandTemplate command)
{
    return kTemplates[static_cast<int>(command)];
}

bool isIntegerFormatFor(const char* format, int integerArguments)
{
    int conversions = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p != '\0' && std::strchr("-+ #0", *p) != nullptr)
            ++p;
        if (!skipShortNumber(p))
            return false;
        if (*p == '.') {
            ++p;
            if (!skipShortNumber(p))
                return false;
        }
        if (*p == '\0' || std::strchr("diuxXoc", *p) == nullptr)
            return false;
        ++conversions;
    }
    return conversions <= integerArguments;
}
