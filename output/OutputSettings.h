#pragma once

#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"

class CProfile;

// Reads every output setting at start-up: the layout values of Server.INI, the [CutInfo] record of the
// device-profile file, and the profile of the device [CutInfo] selects. Missing files and keys give the
// defaults; nothing here fails.
void loadOutputSettings(const CProfile& serverFile, const CProfile& deviceFile, ServerSettings& server,
                        CCutInfo& cutInfo, CPlotterDevice& device);
