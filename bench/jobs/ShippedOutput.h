#pragma once

#include "output/OutputSettings.h"
#include "platform/CProfile.h"
#include "platform/ProgramFolder.h"

#include <string>

// The output settings a run takes from the shipped device-profile file when it finds no Server.INI (at the
// path given), with the build's folder, where the import filter is, as the program folder while it lives.
struct ShippedOutput {
    ServerSettings settings;
    CCutInfo cutInfo;
    CPlotterDevice device;

    explicit ShippedOutput(const std::string& noServerIni)
    {
        platform::setProgramFolder(MARQUILL_BIN_DIR);
        CProfile serverFile;
        serverFile.setPath(noServerIni.c_str());
        CProfile deviceFile;
        deviceFile.setPath(MARQUILL_BIN_DIR "/Plotter.INI");
        loadOutputSettings(serverFile, deviceFile, settings, cutInfo, device);
    }
    ~ShippedOutput() { platform::setProgramFolder(""); }
};
