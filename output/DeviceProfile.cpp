#include <cfloat>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/CPlotterDevice.h"
#include "output/SettingValues.h"
#include "platform/CProfile.h"

namespace {

constexpr const char* kDevicesSection = "CutterDevices";
constexpr const char* kCutInfoSection = "CutInfo";
// Raw template values are read up to 199 characters, so their decoded form always fits this buffer and
// an overlong template can be seen and refused instead of being cut short.
constexpr int kRawTemplateSize = 200;
// Scale ratios and resolutions beyond these lay a drawing out so large or so fine that a copy would walk
// millions of empty sections or send coordinates no device takes.
constexpr float kSmallestRatio = 0.001f;
constexpr float kLargestRatio = 1000.0f;
constexpr float kFinestResolution = 0.0001f;

// Reads a template and keeps it only when it fits its field and, where it is used as a printf format,
// asks for no more integers than it is given. A cut or unsafe command is worse than none: an empty
// template simply sends nothing.
void loadTemplate(const CProfile& file, const char* section, CommandTemplate t, char* out)
{
    const CommandTemplateInfo& info = commandTemplateInfo(t);
    char decoded[kRawTemplateSize];
    file.getEscapedString(section, info.key, decoded, sizeof decoded, "");
    std::memset(out, 0, kTemplateSize);
    if (std::strlen(decoded) >= static_cast<std::size_t>(kTemplateSize))
        return;
    if (info.integerArguments != kSentAsIs && !isIntegerFormatFor(decoded, info.integerArguments))
        return;
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result): out is zero-filled
    std::memcpy(out, decoded, std::strlen(decoded));
}

// The highest value of a "lowest,highest" range: the integer after the first comma, or of the whole
// text when there is none, read like an INI integer (sign and leading digits, else 0).
std::uint16_t readRangeHighest(const CProfile& file, const char* section, const char* key)
{
    char text[80];
    file.getString(section, key, text, sizeof text, "");
    const char* comma = std::strchr(text, ',');
    long value = std::strtol(comma != nullptr ? comma + 1 : text, nullptr, 10);
    return value < 0 ? 0 : value > 0xFFFF ? 0xFFFF : static_cast<std::uint16_t>(value);
}

} // namespace

void CPlotterDevice::loadProfile(const CProfile& file, const char* name)
{
    if (name != nullptr) {
        // Copied through a buffer of its own: name may be the stored name itself.
        char copy[sizeof displayName];
        std::snprintf(copy, sizeof copy, "%s", name);
        std::memcpy(displayName, copy, sizeof displayName);
    }
    file.getString(kDevicesSection, displayName, sectionName, sizeof sectionName, "");
    const char* section = sectionName;

    for (int t = 0; t < kCommandTemplateCount; ++t)
        loadTemplate(file, section, static_cast<CommandTemplate>(t), templates[t]);
    RS = withinOr(file.getFloat(section, "RS", 0.025f), kFinestResolution, FLT_MAX, 0.025f);
    int maxPen = file.getInt(section, "MaxPen", 0);
    MaxPen = static_cast<std::uint16_t>(maxPen < 0 ? 0 : maxPen > kMaxPens - 1 ? kMaxPens - 1 : maxPen);
    std::memset(penOffsets, 0, sizeof penOffsets);
    for (int pen = 0; pen <= MaxPen; ++pen) {
        char key[16];
        std::snprintf(key, sizeof key, "Pen%dOffset", pen);
        penOffsets[pen] = finiteOr(file.getFloat(section, key, 0.0f), 0.0f);
    }

    SetSpeed = file.getInt(section, "SetSpeed", 1);
    DefaultSpeed = clampToUint16(file.getInt(section, "DefaultSpeed", 40));
    highestSpeed = readRangeHighest(file, section, "SpeedRanger");
    SetForce = file.getInt(section, "SetForce", 0);
    DefaultForce = clampToUint16(file.getInt(section, "DefaultForce", 80));
    highestForce = readRangeHighest(file, section, "ForceRanger");
    HardOffset = file.getInt(section, "HardOffset", 1);
    // A device that corrects the knife itself and has no plot command cannot be switched to pen use.
    if (HardOffset == 0 || command(CommandTemplate::PlotCmd)[0] != '\0')
        PenMode = file.getInt(section, "PenMode", 0);
    else
        PenMode = 0;
    Offset = finiteOr(file.getFloat(section, "Offset", 0.3f), 0.3f);
    mmCutterWidth = clampToUint16(file.getInt(section, "mmCutterWidth", 32700));
    OVERCUT = file.getInt(section, "OVERCUT", 0);
    OutMethod = clampToUint16(file.getInt(section, "OutMethod", 2));
    RatioX = withinOr(file.getFloat(section, "RatioX", 1.0f), kSmallestRatio, kLargestRatio, 1.0f);
    RatioY = withinOr(file.getFloat(section, "RatioY", 1.0f), kSmallestRatio, kLargestRatio, 1.0f);
    Handshake = file.getInt(section, "Handshake", 0) == 1 ? 1 : 0;

    file.getString(kCutInfoSection, "SP2Dash", SP2Dash, sizeof SP2Dash, "");
}

void CPlotterDevice::saveProfile(CProfile& file)
{
    if (displayName[0] == '\0')
        return;
    char section[sizeof sectionName];
    file.getString(kDevicesSection, displayName, section, sizeof section, "");
    // Without a listed section the values would land in a section named "" that nothing reads.
    if (section[0] == '\0')
        return;

    file.setFloat(section, "Offset", Offset);
    file.setInt(section, "OverCut", OVERCUT);
    file.setInt(section, "DefaultSpeed", DefaultSpeed);
    file.setInt(section, "DefaultForce", DefaultForce);
    file.setInt(section, "SetForce", SetForce);
    file.setInt(section, "SetSpeed", SetSpeed);
    file.setInt(section, "PenMode", PenMode);
    RatioX = withinOr(RatioX, kSmallestRatio, kLargestRatio, 1.0f);
    RatioY = withinOr(RatioY, kSmallestRatio, kLargestRatio, 1.0f);
    file.setFloat(section, "RatioX", RatioX);
    file.setFloat(section, "RatioY", RatioY);
    for (int pen = 0; pen <= MaxPen && pen < kMaxPens; ++pen) {
        char key[16];
        std::snprintf(key, sizeof key, "Pen%dOffset", pen);
        file.setFloat(section, key, penOffsets[pen]);
    }
}

bool CPlotterDevice::isDashedPen(int pen) const
{
    // The pen number as "%d" writes it; asked for every path sent, so without the C library's printf.
    char text[16];
    *std::to_chars(text, text + sizeof text - 1, pen).ptr = '\0';
    return std::strstr(SP2Dash, text) != nullptr;
}
