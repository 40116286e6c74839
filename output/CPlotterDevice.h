#pragma once

#include <cstdint>

#include "output/CommandTemplate.h"

class CProfile;

// The single output device of the program. Its profile part describes the selected plotter or cutter:
// the command templates it understands, its resolution, its pens with their knife offsets and a few
// switches, all loaded from one section of the device-profile file.
class CPlotterDevice {
public:
    static constexpr int kMaxPens = 20;

    // Loads the profile of the device shown under displayName in [CutterDevices]. A null name reloads
    // the stored one. A name that is not listed, or a missing section, gives the defaults: no templates,
    // RS 0.025 and one pen with offset 0.
    void loadProfile(const CProfile& file, const char* displayName);
    // Writes back what the settings dialog may change: offset, over-cut, speed and force defaults and
    // switches, pen mode, ratios and the pen offsets. Does nothing for a device that is not listed.
    void saveProfile(const CProfile& file);
    // True when the decimal text of pen occurs anywhere in SP2Dash ("13" makes pens 1, 3 and 13 dashed).
    bool isDashedPen(int pen) const;

    const char* command(CommandTemplate t) const { return templates[static_cast<int>(t)]; }
    char* command(CommandTemplate t) { return templates[static_cast<int>(t)]; }

    char displayName[80] = {};
    char sectionName[60] = {};
    float RS = 0.025f;  // millimetres per device unit
    float penOffsets[kMaxPens] = {};
    char templates[kCommandTemplateCount][kTemplateSize] = {};
    char SP2Dash[80] = {};
    std::int32_t SetSpeed = 1;
    std::int32_t SetForce = 0;
    std::uint16_t DefaultSpeed = 40;
    std::uint16_t highestSpeed = 0;
    std::uint16_t DefaultForce = 80;
    std::uint16_t highestForce = 0;
    std::uint16_t currentPen = 0;
    std::uint16_t MaxPen = 0;
    std::int32_t HardOffset = 1;
    std::int32_t PenMode = 0;
    float Offset = 0.3f;
    float RatioX = 1.0f;
    float RatioY = 1.0f;
    std::int32_t OVERCUT = 0;
    std::uint16_t OutMethod = 2;
    std::uint16_t mmCutterWidth = 32700;
};
