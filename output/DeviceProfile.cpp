#include <cfloat>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/CPlotterDevice.h"
#include "output/DeviceFileKeys.h"
#include "output/KeyBytes.h"
#include "platform/CProfile.h"

namespace {

static_assert(DeviceKeys::kHighestPen == CPlotterDevice::kMaxPens - 1);

// Raw template values are read up to 199 characters, so their decoded form always fits this buffer and
// an overlong template can be seen and refused instead of being cut short.
constexpr int kRawTemplateSize = 200;

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
std::uint16_t readRangeHighest(const CProfile& file, const TextKey& key)
{
    char text[80];
    readSetting(file, key, text, sizeof text);
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
    readSetting(file, TextKey{CutterDevicesKeys::kSection, displayName}, sectionName, sizeof sectionName);
    const char* section = sectionName;
    const auto key = [section](auto deviceKey) { return inSection(deviceKey, section); };

    for (int t = 0; t < kCommandTemplateCount; ++t)
        loadTemplate(file, section, static_cast<CommandTemplate>(t), templates[t]);
    RS = readSetting(file, key(DeviceKeys::RS));
    MaxPen = static_cast<std::uint16_t>(readSetting(file, key(DeviceKeys::MaxPen)));
    std::memset(penOffsets, 0, sizeof penOffsets);
    for (int pen = 0; pen <= MaxPen; ++pen) {
        char name[16];
        std::snprintf(name, sizeof name, DeviceKeys::kPenOffsetFormat, pen);
        penOffsets[pen] = readSetting(file, FloatKey{section, name, 0.0f});
    }

    SetSpeed = readSetting(file, key(DeviceKeys::SetSpeed));
    DefaultSpeed = static_cast<std::uint16_t>(readSetting(file, key(DeviceKeys::DefaultSpeed)));
    highestSpeed = readRangeHighest(file, key(DeviceKeys::SpeedRanger));
    SetForce = readSetting(file, key(DeviceKeys::SetForce));
    DefaultForce = static_cast<std::uint16_t>(readSetting(file, key(DeviceKeys::DefaultForce)));
    highestForce = readRangeHighest(file, key(DeviceKeys::ForceRanger));
    HardOffset = readSetting(file, key(DeviceKeys::HardOffset));
    // A device that corrects the knife itself and has no plot command cannot be switched to pen use.
    if (HardOffset == 0 || command(CommandTemplate::PlotCmd)[0] != '\0')
        PenMode = readSetting(file, key(DeviceKeys::PenMode));
    else
        PenMode = 0;
    Offset = readSetting(file, key(DeviceKeys::Offset));
    mmCutterWidth = static_cast<std::uint16_t>(readSetting(file, key(DeviceKeys::mmCutterWidth)));
    OVERCUT = readSetting(file, key(DeviceKeys::OVERCUT));
    OutMethod = static_cast<std::uint16_t>(readSetting(file, key(DeviceKeys::OutMethod)));
    RatioX = readSetting(file, key(DeviceKeys::RatioX));
    RatioY = readSetting(file, key(DeviceKeys::RatioY));
    Handshake = readSetting(file, key(DeviceKeys::Handshake));
    // The compact forms are HP-GL: a device that moves with anything else is sent its own templates.
    Compact = std::strncmp(command(CommandTemplate::MoveTo), "PU", 2) == 0
                  ? static_cast<std::uint16_t>(readSetting(file, key(DeviceKeys::Compact)))
                  : 0;

    readSetting(file, CutInfoKeys::SP2Dash, SP2Dash, sizeof SP2Dash);
}

void CPlotterDevice::saveProfile(CProfile& file)
{
    if (displayName[0] == '\0')
        return;
    char section[sizeof sectionName];
    readSetting(file, TextKey{CutterDevicesKeys::kSection, displayName}, section, sizeof section);
    // Without a listed section the values would land in a section named "" that nothing reads.
    if (section[0] == '\0')
        return;
    const auto key = [&section](auto deviceKey) { return inSection(deviceKey, section); };

    writeSetting(file, key(DeviceKeys::Offset), Offset);
    writeSetting(file, key(DeviceKeys::OVERCUT), OVERCUT);
    writeSetting(file, key(DeviceKeys::DefaultSpeed), DefaultSpeed);
    writeSetting(file, key(DeviceKeys::DefaultForce), DefaultForce);
    writeSetting(file, key(DeviceKeys::SetForce), SetForce);
    writeSetting(file, key(DeviceKeys::SetSpeed), SetSpeed);
    writeSetting(file, key(DeviceKeys::PenMode), PenMode);
    RatioX = corrected(DeviceKeys::RatioX, RatioX);
    RatioY = corrected(DeviceKeys::RatioY, RatioY);
    writeSetting(file, key(DeviceKeys::RatioX), RatioX);
    writeSetting(file, key(DeviceKeys::RatioY), RatioY);
    for (int pen = 0; pen <= MaxPen && pen < kMaxPens; ++pen) {
        char name[16];
        std::snprintf(name, sizeof name, DeviceKeys::kPenOffsetFormat, pen);
        writeSetting(file, FloatKey{section, name, 0.0f}, penOffsets[pen]);
    }
}

bool CPlotterDevice::isDashedPen(int pen) const
{
    // The pen number as "%d" writes it; asked for every path sent, so without the C library's printf.
    char text[16];
    *std::to_chars(text, text + sizeof text - 1, pen).ptr = '\0';
    return std::strstr(SP2Dash, text) != nullptr;
}

void CPlotterDevice::copyProfileFrom(const CPlotterDevice& other)
{
    std::memcpy(displayName, other.displayName, sizeof displayName);
    std::memcpy(sectionName, other.sectionName, sizeof sectionName);
    RS = other.RS;
    std::memcpy(penOffsets, other.penOffsets, sizeof penOffsets);
    std::memcpy(templates, other.templates, sizeof templates);
    std::memcpy(SP2Dash, other.SP2Dash, sizeof SP2Dash);
    SetSpeed = other.SetSpeed;
    SetForce = other.SetForce;
    DefaultSpeed = other.DefaultSpeed;
    highestSpeed = other.highestSpeed;
    DefaultForce = other.DefaultForce;
    highestForce = other.highestForce;
    MaxPen = other.MaxPen;
    HardOffset = other.HardOffset;
    PenMode = other.PenMode;
    Offset = other.Offset;
    RatioX = other.RatioX;
    RatioY = other.RatioY;
    OVERCUT = other.OVERCUT;
    OutMethod = other.OutMethod;
    mmCutterWidth = other.mmCutterWidth;
    Handshake = other.Handshake;
    Compact = other.Compact;
    // What the next pass starts from.
    currentPen = other.currentPen;
    knifeVector_ = other.knifeVector_;
    lastDirection_ = other.lastDirection_;
}

// The same fields as copyProfileFrom, in its order; a field added there is added here.
void CPlotterDevice::appendProfileKey(std::string& key) const
{
    appendKeyBytes(key, displayName);
    appendKeyBytes(key, sectionName);
    appendKeyBytes(key, RS);
    appendKeyBytes(key, penOffsets);
    appendKeyBytes(key, templates);
    appendKeyBytes(key, SP2Dash);
    appendKeyBytes(key, SetSpeed);
    appendKeyBytes(key, SetForce);
    appendKeyBytes(key, DefaultSpeed);
    appendKeyBytes(key, highestSpeed);
    appendKeyBytes(key, DefaultForce);
    appendKeyBytes(key, highestForce);
    appendKeyBytes(key, MaxPen);
    appendKeyBytes(key, HardOffset);
    appendKeyBytes(key, PenMode);
    appendKeyBytes(key, Offset);
    appendKeyBytes(key, RatioX);
    appendKeyBytes(key, RatioY);
    appendKeyBytes(key, OVERCUT);
    appendKeyBytes(key, OutMethod);
    appendKeyBytes(key, mmCutterWidth);
    appendKeyBytes(key, Handshake);
    appendKeyBytes(key, Compact);
    appendKeyBytes(key, currentPen);
    appendKeyBytes(key, knifeVector_);
    appendKeyBytes(key, lastDirection_);
}
