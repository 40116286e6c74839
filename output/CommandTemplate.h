#pragma once

// The command templates of a device profile, in the order the profile holds them.
enum class CommandTemplate : int {
    RSCMD,
    InitCmd,
    RelativeCmd,
    AbsCmd,
    SubJoin,
    HomeCmd,
    MoveTo,
    LineTo,
    LineToEx,
    RMoveTo,
    RLineTo,
    RLineToEx,
    PenUp,
    PenDown,
    SpeedCmd,
    ForceCmd,
    PlotCmd,
    CutCmd,
    FeedCmd,
    NewFrame,
    OffsetCmd,
};

inline constexpr int kCommandTemplateCount = 21;
// A template occupies a 20-byte field: at most 19 bytes and the terminating NUL.
inline constexpr int kTemplateSize = 20;

// A template that is written to the device byte for byte and never used as a printf format.
inline constexpr int kSentAsIs = -1;

struct CommandTemplateInfo {
    const char* key;      // key of the device section
    int integerArguments; // how many integers it is formatted with, or kSentAsIs
};

const CommandTemplateInfo& commandTemplateInfo(CommandTemplate command);

// True when format may be handed to printf with the given number of int arguments: it asks for at most
// that many conversions, each one of d, i, u, x, X, o or c with optional flags, width and precision of
// at most two digits each, and "%%" for a percent sign. Length modifiers, '*', '$', %n, %s and the
// floating conversions are refused, as is a lone '%' at the end.
bool isIntegerFormatFor(const char* format, int integerArguments);
