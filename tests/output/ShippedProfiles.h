#pragma once

#include "platform/CProfile.h"

#include <cstring>
#include <string>
#include <vector>

// The device-profile files shipped in res/config, one per edition and language.
inline const char* const kShippedProfileFiles[] = {
    "Plotter.INI",   "Plotter_Eng.INI",   "PlotterKM.INI", "PlotterKM_Eng.INI",
    "PlotterRV.INI", "PlotterRV_Eng.INI", "PlotterTZ.INI", "PlotterTZ_Eng.INI"};

inline std::string shippedProfilePath(const std::string& fileName)
{
    return MARQUILL_SOURCE_DIR "/res/config/" + fileName;
}

// The key names of a section, read from the profile's null-separated block.
inline std::vector<std::string> keyNames(const CProfile& profile, const char* section)
{
    char block[4096];
    profile.getString(section, nullptr, block, sizeof block, "");
    std::vector<std::string> names;
    for (const char* p = block; *p != '\0'; p += std::strlen(p) + 1)
        names.emplace_back(p);
    return names;
}
