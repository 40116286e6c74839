#include "filters/Interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hpgl {

namespace {

constexpr double kUnitsPerMillimetre = 40;
constexpr int kPatterns = 8;
constexpr int kMaxPatternElements = 20;

// The built-in patterns 1 to 8 in percent of the pattern length: pen down, up, down, ...
const std::vector<double> kBuiltInPatterns[kPatterns] = {
    {0, 100},
    {50, 50},
    {70, 30},
    {80, 10, 0, 10},
    {70, 10, 10, 10},
    {50, 10, 10, 10, 10, 10},
    {70, 10, 0, 10, 0, 10},
    {50, 10, 0, 10, 10, 10, 0, 10},
};

// A colour so light that it would not show on the preview's white paper.
bool tooLightToSee(uint32_t rgb)
{
    constexpr uint32_t kLightest = 224;
    return (rgb >> 16) >= kLightest && ((rgb >> 8) & 0xFF) >= kLightest && (rgb & 0xFF) >= kLightest;
}

uint32_t colourChannel(double value)
{
    return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

} // namespace

// A drawing without SP uses pen 1; SP without a number, or SP0, puts the pen away.
void Interpreter::selectPen()
{
    double value = 0;
    scanner_.number(value);
    scanner_.numbers(nullptr, 0);
    if (value >= 0)
        pen_.selectPen(static_cast<int32_t>(value));
}

// LT pattern[,length[,mode]]: mode 1 gives the length in millimetres, else it is percent of the
// P1..P2 diagonal. LT alone is solid; LT99 brings back the pattern used before LT.
void Interpreter::lineType()
{
    double v[3];
    int n = scanner_.numbers(v, 3);
    if (n >= 1 && static_cast<int>(v[0]) == 99) {
        if (lineType_.solid)
            lineType_ = previousLineType_;
    } else {
        if (!lineType_.solid)
            previousLineType_ = lineType_;
        lineType_ = LineType{};
        if (n >= 1) {
            lineType_.solid = false;
            lineType_.pattern = std::clamp(static_cast<int>(v[0]), -128, 127);
            lineType_.length = n >= 2 ? v[1] : 4;
            lineType_.millimetres = n >= 3 && v[2] == 1;
        }
    }
    applyLineType();
}

// The path's line type holds the pattern number in its high byte and the pattern length (percent of
// the P1..P2 diagonal) in its low byte; 0 is solid. The pattern byte is signed, so an adaptive
// pattern (negative number) keeps its sign. The length is rounded to whole percent, at least 1, so
// that a pattern never reads as one of no length.
//
// That record carries neither a user pattern (UL) nor a length in fractions of a percent, in
// millimetres or beyond 255 percent. For those the path is solid and the dashes are drawn here as
// pen-down pieces of the lines, so that the device draws exactly the author's pattern.
void Interpreter::applyLineType()
{
    if (lineType_.solid) {
        pen_.setLineType(0);
        pen_.setPattern({});
        return;
    }
    const int index = std::abs(lineType_.pattern);
    const double length = lineType_.length;
    const bool dashable = index >= 1 && index <= kPatterns && length > 0;
    if (dashable && (lineType_.millimetres || !userPatterns_[index].empty() || length != std::round(length) ||
                     length > 255)) {
        const Point span{scaling_.p2().x - scaling_.p1().x, scaling_.p2().y - scaling_.p1().y};
        const double units =
            lineType_.millimetres ? length * kUnitsPerMillimetre : length / 100 * std::hypot(span.x, span.y);
        const std::vector<double>& user = userPatterns_[index];
        const std::vector<double>& shares = user.empty() ? kBuiltInPatterns[index - 1] : user;
        double sum = 0;
        for (double share : shares)
            sum += share;
        std::vector<double> lengths;
        lengths.reserve(shares.size());
        for (double share : shares)
            lengths.push_back(share / sum * units);
        LinePattern pattern(std::move(lengths), lineType_.pattern < 0);
        if (!pattern.empty()) {
            pen_.setLineType(0);
            pen_.setPattern(std::move(pattern));
            return;
        }
    }
    auto patternByte = static_cast<uint8_t>(static_cast<int8_t>(lineType_.pattern));
    auto lengthByte = static_cast<int>(std::clamp(std::round(length), 1.0, 255.0));
    pen_.setLineType(static_cast<uint16_t>((patternByte << 8) | lengthByte));
    pen_.setPattern({});
}

// UL index[,share,...]: the pattern of line type `index` (1 to 8) as up to 20 shares of its length,
// pen down first. UL index alone brings back the built-in pattern, UL alone all of them. A pattern
// with a negative share, or none above zero, is ignored. It applies from the next LT on.
void Interpreter::userPattern()
{
    double v[kMaxPatternElements + 2];
    const int n = scanner_.numbers(v, kMaxPatternElements + 2);
    if (n == 0) {
        for (std::vector<double>& pattern : userPatterns_)
            pattern.clear();
        return;
    }
    const int index = static_cast<int>(std::fabs(v[0]));
    if (index < 1 || index > kPatterns || n > kMaxPatternElements + 1)
        return;
    std::vector<double> shares(v + 1, v + n);
    double sum = 0;
    for (double share : shares) {
        if (!(share >= 0))
            return;
        sum += share;
    }
    if (n > 1 && !(sum > 0))
        return;
    userPatterns_[index] = std::move(shares);
}

// PC pen[,red,green,blue]: the pen's paths show in that colour (on a scale of 0 to 255), unless it
// is too light to see on white paper; PC pen alone gives the pen back its palette colour, PC alone
// every pen. A colour given to pen 0 makes it a drawing pen, as CAD programs use it; PC0 alone or PC
// without parameters gives pen 0 back its default, no pen at all.
void Interpreter::penColour()
{
    double v[4];
    int n = scanner_.numbers(v, 4);
    if (n == 0) {
        pen_.setPenZeroDraws(false);
        pen_.clearPenColours();
        return;
    }
    if (v[0] == 0)
        pen_.setPenZeroDraws(n >= 4);
    if (!(std::fabs(v[0]) < 1e9))
        return;
    const auto pen = static_cast<int32_t>(v[0]);
    const uint32_t rgb =
        n >= 4 ? colourChannel(v[1]) << 16 | colourChannel(v[2]) << 8 | colourChannel(v[3]) : 0xFFFFFF;
    if (tooLightToSee(rgb))
        pen_.clearPenColour(pen);
    else
        pen_.setPenColour(pen, rgb);
}

} // namespace hpgl
