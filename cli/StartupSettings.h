#pragma once

#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "plotdata/CProfile.h"

#include <string>

// The settings the program loads at start-up, read from one folder: Server.INI, the device-profile file
// the edition and language choose, and Port.INI for the port.
struct StartupSettings {
    CProfile serverFile;
    CProfile deviceFile;
    ServerSettings server;
    CCutInfo cutInfo;
    CPlotterDevice device;
    int language = 0;
};

// The device-profile file of an edition: the Chinese file for language 2052, the other one otherwise.
const char* deviceProfileFileName(int editionCode, int language);

// Loads everything from folder (ending in '/') as the program does at start-up: the language of
// [SYSTEM] Language, or the system's when it is below 16 (then written back); the edition of
// Install.INI; the device-profile file they choose; the output settings and the selected device. The
// strings of the language are made current and the device's port reads Port.INI of the folder.
void loadStartupSettings(const std::string& folder, StartupSettings& settings);

// Loads the device named by its display name (a key of [CutterDevices]) or by its section name, for this
// run only. False when no device of the file has that name.
bool selectDeviceForRun(StartupSettings& settings, const std::string& name);
