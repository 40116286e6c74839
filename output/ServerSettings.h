#pragma once

#include <cstdint>

// The [SYSTEM] values of Server.INI that lay jobs on the media, and AutoDeleType of [Receive].
// Lengths are whole millimetres; unit only changes how they are shown and typed (0 mm, 1 inch).
struct ServerSettings {
    std::int32_t unit = 0;
    std::int32_t OverLap = 10;
    std::int32_t PageOut = 0;
    std::int32_t Section = 500;
    std::int32_t PloterOffset = 0;
    std::int32_t MediaWidth = 1800;
    std::int32_t REMAINMEDIALENGTH = 150000;
    std::int32_t AutoDeleType = 1;
    std::int32_t AutoRotate = 0;
    std::int32_t MirrorY = 0;
    std::int32_t SendPG = 1;
    std::int32_t SortPlot = 1;
    std::int32_t AdjustOrg = 0;
    std::int32_t DashPlot = 0;
    std::int32_t LineMark = 0;
    std::int32_t Language = 0;
};
