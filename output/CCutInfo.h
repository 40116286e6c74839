#pragma once

#include <cstdint>

class CProfile;

// The cutting settings of [CutInfo] in the device-profile file: paper, port, curve accuracy, half cut
// and page gap. One record lives for the whole program; each copy of a job passes a copy of it
// with the job's own AutoFeed and HalfCut to the device.
class CCutInfo {
public:
    struct PaperRect {
        float left, top, right, bottom;
    };

    // Reads every field with its default and raises CurveAccurate to at least 0.5, ZoomCut to 1 when it
    // is not above 0, and a half-cut pattern that could never advance to its defaults.
    void loadCutInfo(const CProfile& file);
    // Writes the fields the settings dialog edits. PenSpeed, PenForce, SetForce, SolidCut and VoidCut
    // are not written here.
    void saveCutInfo(CProfile& file) const;

    PaperRect paper = {0.0f, 0.0f, 400.0f, 900.0f};
    char Port[5] = "COM2";
    std::int32_t TestWidth = 18;
    std::int32_t PageRect = 0;
    std::int32_t AutoFeed = 1;
    std::int32_t TextLine = 1;
    std::int32_t Sort = 1;
    std::uint16_t PenSpeed = 60;
    std::uint16_t PenForce = 60;
    std::int32_t SetForce = 0;
    float CurveAccurate = 2.0f;
    std::int32_t RemoteCut = 0;
    std::int32_t PauseCut = 1;
    std::int32_t SavePaper = 1;
    std::int32_t PageGaps = 10;
    float ZoomCut = 1.0f;
    std::int32_t Mirror = 0;
    std::int32_t HalfCut = 0;
    float SolidCut = 2.0f; // mm cut in each stretch of a half cut
    float VoidCut = 0.2f;  // mm left uncut between stretches
    std::uint16_t mmPageGap = 20;
};
