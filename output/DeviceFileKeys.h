#pragma once

#include "platform/SettingKey.h"

#include <limits>

// The keys of the device-profile files. Names are spelled as the program writes them when a key is new.

// Lengths, speeds and forces kept in 16-bit fields are held to what the field can carry.
constexpr IntKey uint16Key(const char* section, const char* name, int defaultValue)
{
    return {section, name, defaultValue, 0, 0xFFFF, OutOfRange::HoldAtEnd};
}

// Display name = section name of each device the file offers.
namespace CutterDevicesKeys {
constexpr const char* kSection = "CutterDevices";
} // namespace CutterDevicesKeys

namespace CutInfoKeys {
constexpr const char* kSection = "CutInfo";
// Any float above zero; a zoom, a curve step or a cut stretch of 0 would never get anywhere.
constexpr float kSmallestPositive = std::numeric_limits<float>::denorm_min();

constexpr TextKey Device{kSection, "Device"};
constexpr TextKey Port{kSection, "Port", "COM2"};
constexpr TextKey SP2Dash{kSection, "SP2Dash"};
// Stored as the absolute value of the key.
constexpr IntKey PaperWidth{kSection, "PaperWidth", 400};
constexpr IntKey PaperHeight{kSection, "PaperHeight", 900};
constexpr IntKey TestWidth{kSection, "TestWidth", 18};
constexpr IntKey PageRect{kSection, "PageRect", 0};
constexpr IntKey AutoFeed{kSection, "AutoFeed", 1};
constexpr IntKey TextLine{kSection, "TextLine", 1};
constexpr IntKey Sort{kSection, "Sort", 1};
constexpr IntKey PenSpeed = uint16Key(kSection, "PenSpeed", 60);
constexpr IntKey PenForce = uint16Key(kSection, "PenForce", 60);
constexpr IntKey SetForce{kSection, "SetForce", 0};
// Finer curve steps than half a millimetre only cost time.
constexpr FloatKey CurveAccurate{kSection, "CurveAccurate", 2.0f, 0.5f, FLT_MAX, OutOfRange::HoldAtEnd};
constexpr IntKey RemoteCut{kSection, "RemoteCut", 0};
constexpr IntKey PauseCut{kSection, "PauseCut", 1};
constexpr IntKey SavePaper{kSection, "SavePaper", 1};
constexpr IntKey PageGaps{kSection, "PageGaps", 10};
constexpr FloatKey ZoomCut{kSection, "ZoomCut", 1.0f, kSmallestPositive};
constexpr IntKey Mirror{kSection, "Mirror", 0};
constexpr IntKey HalfCut{kSection, "HalfCut", 0};
// A half cut walks its line stretch by stretch; a cut stretch that is not above 0, or a negative gap,
// would never get to the end of the line.
constexpr FloatKey SolidCut{kSection, "SolidCut", 2.0f, kSmallestPositive};
constexpr FloatKey VoidCut{kSection, "VoidCut", 0.2f, 0.0f};
constexpr IntKey mmPageGap = uint16Key(kSection, "mmPageGap", 20);
} // namespace CutInfoKeys

// The keys of a device's own section, named in [CutterDevices]; use them with inSection. The command
// templates are keys of this section too (see CommandTemplate.h).
namespace DeviceKeys {
// Scale ratios and resolutions beyond these lay a drawing out so large or so fine that a copy would walk
// millions of empty sections or send coordinates no device takes.
constexpr float kSmallestRatio = 0.001f;
constexpr float kLargestRatio = 1000.0f;
constexpr float kFinestResolution = 0.0001f;
// The pen table holds pens 0 to 19.
constexpr int kHighestPen = 19;

constexpr FloatKey RS{nullptr, "RS", 0.025f, kFinestResolution};
constexpr IntKey MaxPen{nullptr, "MaxPen", 0, 0, kHighestPen, OutOfRange::HoldAtEnd};
// The knife offset of pen n, for pens 0 to MaxPen: the key named by this format, default 0.
constexpr const char* kPenOffsetFormat = "Pen%dOffset";
constexpr IntKey SetSpeed{nullptr, "SetSpeed", 1};
constexpr IntKey DefaultSpeed = uint16Key(nullptr, "DefaultSpeed", 40);
// "lowest,highest"
constexpr TextKey SpeedRanger{nullptr, "SpeedRanger"};
constexpr IntKey SetForce{nullptr, "SetForce", 0};
constexpr IntKey DefaultForce = uint16Key(nullptr, "DefaultForce", 80);
constexpr TextKey ForceRanger{nullptr, "ForceRanger"};
constexpr IntKey HardOffset{nullptr, "HardOffset", 1};
constexpr IntKey PenMode{nullptr, "PenMode", 0};
constexpr FloatKey Offset{nullptr, "Offset", 0.3f};
constexpr IntKey mmCutterWidth = uint16Key(nullptr, "mmCutterWidth", 32700);
constexpr IntKey OVERCUT{nullptr, "OverCut", 0};
constexpr IntKey OutMethod = uint16Key(nullptr, "OutMethod", 2);
constexpr FloatKey RatioX{nullptr, "RatioX", 1.0f, kSmallestRatio, kLargestRatio};
constexpr FloatKey RatioY{nullptr, "RatioY", 1.0f, kSmallestRatio, kLargestRatio};
// 0: the line's own flow control only; 1: the device is paced by its buffer query. Others are taken as 0.
constexpr IntKey Handshake{nullptr, "Handshake", 0, 0, 1};
// 0: a template command per point; 1: HP-GL coordinate lists; 2: HP-GL/2 encoded polylines. Others are
// taken as 0.
constexpr IntKey Compact{nullptr, "Compact", 0, 0, 2};
} // namespace DeviceKeys
