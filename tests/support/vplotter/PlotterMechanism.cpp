#include "vplotter/PlotterMechanism.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kUnitsPerMillimetre = 40;
// The instructions the device knows besides the ones it carries out itself; anything else is an error 1.
constexpr std::string_view kKnown = "AAARCACICPCSDCDFDIDPDRDTEAEPERETEWFPFTIMIPIWLOLTOOOPPGPMPTRARORRSASCSI"
                                    "SLSMSPSRSSTLUCVSWGXTYT";

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';' || c == ','; }

bool isParameterByte(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.' || c == ',' ||
           c == ' ' || c == '\t';
}

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool isKnown(std::string_view mnemonic)
{
    for (std::size_t i = 0; i + 1 < kKnown.size(); i += 2) {
        if (kKnown.substr(i, 2) == mnemonic)
            return true;
    }
    return false;
}

// The numbers of a parameter list, truncated to whole device units.
std::vector<long> numbers(std::string_view parameters)
{
    std::vector<long> values;
    std::string text(parameters);
    const char* at = text.c_str();
    while (*at != '\0') {
        char* end = nullptr;
        const double value = std::strtod(at, &end);
        if (end == at) {
            ++at;
            continue;
        }
        values.push_back(static_cast<long>(value));
        at = end;
    }
    return values;
}

} // namespace

PlotterMechanism::PlotterMechanism(double millimetresPerSecond, std::string identity)
    : speed_(millimetresPerSecond > 0 ? millimetresPerSecond : 1), identity_(std::move(identity))
{
}

PlotterMechanism::Step PlotterMechanism::step(std::string_view buffer, bool bufferFull)
{
    std::size_t at = 0;
    while (at < buffer.size() && isSeparator(buffer[at]))
        ++at;
    if (at == buffer.size())
        return {at, 0, {}};
    if (!isLetter(buffer[at])) {
        error_ = 1;
        return {at + 1, 0, {}};
    }
    if (at + 1 == buffer.size())
        return {bufferFull ? buffer.size() : 0, 0, {}};
    if (!isLetter(buffer[at + 1])) {
        error_ = 1;
        return {at + 1, 0, {}};
    }
    std::string mnemonic{static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[at]))),
                         static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[at + 1])))};
    std::size_t end = at + 2;
    if (mnemonic == "LB") {
        const std::size_t etx = buffer.find('\x03', end);
        if (etx == std::string_view::npos)
            return {bufferFull ? buffer.size() : 0, 0, {}};
        return {etx + 1, 0, {}};
    }
    while (end < buffer.size() && isParameterByte(buffer[end]))
        ++end;
    if (end == buffer.size() && !bufferFull)
        return {0, 0, {}}; // more of its parameters may be on the way
    const std::string_view parameters = buffer.substr(at + 2, end - at - 2);
    const std::size_t length = end < buffer.size() && buffer[end] == ';' ? end + 1 : end;

    Step done{length, 0, {}};
    double millimetres = 0;
    if (mnemonic == "PU" || mnemonic == "PD") {
        penDown_ = mnemonic == "PD";
        move(parameters, millimetres);
    } else if (mnemonic == "PA" || mnemonic == "PR") {
        relative_ = mnemonic == "PR";
        move(parameters, millimetres);
    } else if (mnemonic == "IN") {
        penDown_ = false;
        relative_ = false;
        error_ = 0;
        initialised_ = true;
    } else if (mnemonic == "OA" || mnemonic == "OC") {
        done.answer = std::to_string(x_) + "," + std::to_string(y_) + "," + (penDown_ ? "1" : "0") + "\r";
    } else if (mnemonic == "OI") {
        done.answer = identity_ + "\r";
    } else if (mnemonic == "OS") {
        done.answer = status() + "\r";
    } else if (mnemonic == "OE") {
        done.answer = std::to_string(error_) + "\r";
        error_ = 0;
    } else if (!isKnown(mnemonic)) {
        error_ = 1;
    }
    done.seconds = millimetres / speed_;
    return done;
}

// Moves through the coordinate pairs; an odd number of coordinates is an error 2 and the last is ignored.
void PlotterMechanism::move(std::string_view parameters, double& millimetres)
{
    const std::vector<long> values = numbers(parameters);
    if (values.size() % 2 != 0)
        error_ = 2;
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        const long x = relative_ ? x_ + values[i] : values[i];
        const long y = relative_ ? y_ + values[i + 1] : values[i + 1];
        millimetres +=
            std::hypot(static_cast<double>(x - x_), static_cast<double>(y - y_)) / kUnitsPerMillimetre;
        x_ = x;
        y_ = y;
    }
}

// The status byte of OS: 1 pen down, 8 initialised since the last OS, 16 ready for data, 32 an error.
std::string PlotterMechanism::status()
{
    int value = 16;
    if (penDown_)
        value |= 1;
    if (initialised_)
        value |= 8;
    if (error_ != 0)
        value |= 32;
    initialised_ = false;
    return std::to_string(value);
}
