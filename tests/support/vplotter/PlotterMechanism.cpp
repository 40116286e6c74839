#include "vplotter/PlotterMechanism.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kUnitsPerMillimetre = 40;
constexpr double kMillimetresPerCentimetre = 10;
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

bool isNumberByte(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

bool isCoordinateList(std::string_view mnemonic)
{
    return mnemonic == "PU" || mnemonic == "PD" || mnemonic == "PA" || mnemonic == "PR";
}

// The length of the front of a coordinate list's parameters that holds whole pairs: numbers followed by
// a separator or by the sign of the next number. The number at the end may go on in bytes to come.
std::size_t wholePairs(std::string_view parameters)
{
    std::size_t complete = 0;
    std::size_t pairsEnd = 0;
    std::size_t at = 0;
    while (at < parameters.size()) {
        if (!isNumberByte(parameters[at])) {
            ++at;
            continue;
        }
        std::size_t end = at + 1;
        while (end < parameters.size() && isNumberByte(parameters[end]) && parameters[end] != '-' &&
               parameters[end] != '+')
            ++end;
        if (end == parameters.size())
            break;
        if (++complete % 2 == 0)
            pairsEnd = end;
        at = end;
    }
    return pairsEnd;
}

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
    : PlotterMechanism(MechanismSettings{millimetresPerSecond, 0, 0, std::move(identity)})
{
}

PlotterMechanism::PlotterMechanism(MechanismSettings settings) : settings_(std::move(settings))
{
    if (!(settings_.penSpeed > 0))
        settings_.penSpeed = 1;
    speed_ = settings_.penSpeed;
    upSpeed_ = settings_.penUpSpeed > 0 ? settings_.penUpSpeed : settings_.penSpeed;
}

PlotterMechanism::Step PlotterMechanism::step(std::string_view buffer, bool bufferFull)
{
    if (inPolyline_) {
        const std::size_t semicolon = buffer.find(';');
        const std::size_t length = semicolon == std::string_view::npos ? buffer.size() : semicolon + 1;
        if (length == 0)
            return {0, 0, {}};
        inPolyline_ = semicolon == std::string_view::npos;
        return {length, move(buffer.substr(0, length)), {}};
    }
    if (!openList_.empty())
        return continueList(buffer, bufferFull);
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
    if (mnemonic == "PE") {
        // Encoded numbers are bytes of any kind; the instruction ends at its semicolon. Its points are
        // drawn as they come, so a polyline longer than the buffer is drawn too.
        const std::size_t semicolon = buffer.find(';', end);
        const std::size_t length = semicolon == std::string_view::npos ? buffer.size() : semicolon + 1;
        inPolyline_ = semicolon == std::string_view::npos;
        return {length, move(buffer.substr(at, length - at)) + settings_.instructionSeconds, {}};
    }
    if (mnemonic == "LB") {
        const std::size_t etx = buffer.find('\x03', end);
        if (etx == std::string_view::npos)
            return {bufferFull ? buffer.size() : 0, 0, {}};
        return {etx + 1, 0, {}};
    }
    while (end < buffer.size() && isParameterByte(buffer[end]))
        ++end;
    if (end == buffer.size() && !bufferFull) {
        if (!isCoordinateList(mnemonic))
            return {0, 0, {}}; // more of its parameters may be on the way
        // A coordinate list is carried out pair by pair as it comes, as a device does.
        const std::size_t whole = wholePairs(buffer.substr(at + 2, end - at - 2));
        openList_ = mnemonic;
        openNumbers_ = numbers(buffer.substr(at + 2, whole)).size();
        return {at + 2 + whole, settings_.instructionSeconds + move(buffer.substr(at, 2 + whole)), {}};
    }
    const std::string_view parameters = buffer.substr(at + 2, end - at - 2);
    const std::size_t length = end < buffer.size() && buffer[end] == ';' ? end + 1 : end;

    Step done{length, settings_.instructionSeconds, {}};
    if (mnemonic == "PU" || mnemonic == "PD" || mnemonic == "PA" || mnemonic == "PR") {
        // An odd number of coordinates is an error 2; the last is ignored.
        if (numbers(parameters).size() % 2 != 0)
            error_ = 2;
        done.seconds += move(buffer.substr(at, end - at));
    } else if (mnemonic == "SP") {
        move(buffer.substr(at, end - at));
    } else if (mnemonic == "VS") {
        const std::vector<long> values = numbers(parameters);
        speed_ = !values.empty() && values[0] > 0 ? static_cast<double>(values[0]) * kMillimetresPerCentimetre
                                                  : settings_.penSpeed;
    } else if (mnemonic == "IN") {
        move("IN");
        speed_ = settings_.penSpeed;
        error_ = 0;
        initialised_ = true;
    } else if (mnemonic == "OA" || mnemonic == "OC") {
        const DrawnPoint position = pen_.position();
        done.answer = std::to_string(static_cast<long>(position.x)) + "," +
                      std::to_string(static_cast<long>(position.y)) + "," + (pen_.down() ? "1" : "0") + "\r";
    } else if (mnemonic == "OI") {
        done.answer = settings_.identity + "\r";
    } else if (mnemonic == "OS") {
        done.answer = status() + "\r";
    } else if (mnemonic == "OE") {
        done.answer = std::to_string(error_) + "\r";
        error_ = 0;
    } else if (!isKnown(mnemonic)) {
        error_ = 1;
        done.seconds = 0;
    }
    return done;
}

// The rest of an open coordinate list: more whole pairs, or its end.
PlotterMechanism::Step PlotterMechanism::continueList(std::string_view buffer, bool bufferFull)
{
    std::size_t end = 0;
    while (end < buffer.size() && isParameterByte(buffer[end]))
        ++end;
    if (end == buffer.size() && !bufferFull) {
        const std::size_t whole = wholePairs(buffer.substr(0, end));
        if (whole == 0)
            return {0, 0, {}};
        openNumbers_ += numbers(buffer.substr(0, whole)).size();
        return {whole, move(openList_ + std::string(buffer.substr(0, whole))), {}};
    }
    const std::size_t length = end < buffer.size() && buffer[end] == ';' ? end + 1 : end;
    openNumbers_ += numbers(buffer.substr(0, end)).size();
    if (openNumbers_ % 2 != 0)
        error_ = 2;
    Step done{length, move(openList_ + std::string(buffer.substr(0, end))), {}};
    openList_.clear();
    return done;
}

// Follows the instruction with the pen; the seconds its movements take, lowered and lifted.
double PlotterMechanism::move(std::string_view instruction)
{
    double seconds = 0;
    pen_.read(instruction, [this, &seconds](const PenMove& m) {
        const double millimetres = std::hypot(m.to.x - m.from.x, m.to.y - m.from.y) / kUnitsPerMillimetre;
        seconds += millimetres / (m.down ? speed_ : upSpeed_);
    });
    return seconds;
}

// The status byte of OS: 1 pen down, 8 initialised since the last OS, 16 ready for data, 32 an error.
std::string PlotterMechanism::status()
{
    int value = 16;
    if (pen_.down())
        value |= 1;
    if (initialised_)
        value |= 8;
    if (error_ != 0)
        value |= 32;
    initialised_ = false;
    return std::to_string(value);
}
