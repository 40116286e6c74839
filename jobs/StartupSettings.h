#pragma once

#include "jobs/CLanguageLibrary.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"

#include <string>

// Windows language ids the program tells apart: Chinese shows the program's own texts, every other
// language the English ones of the language library.
constexpr int LANGUAGE_CHINESE = 2052;
constexpr int LANGUAGE_ENGLISH = 1033;

// The settings the program loads at start-up, read from one folder: Server.INI, the device-profile file
// the edition and language choose, and Port.INI for the port.
struct StartupSettings {
    CProfile serverFile;
    CProfile deviceFile;
    ServerSettings server;
    CCutInfo cutInfo;
    CPlotterDevice device;
    int edition = 0;
    int language = 0;
    // The language is the system's, as Server.INI names none yet.
    bool languageFromSystem = false;
    CLanguageLibrary languageLibrary;
};

// The device-profile file of an edition: the Chinese file for language 2052, the other one otherwise.
const char* deviceProfileFileName(int editionCode, int language);
// The string id of an edition's window title, and the id of its icon (the window's and the About box's).
int editionTitleId(int editionCode);
int editionIconId(int editionCode);

// The edition of Install.INI [Install] Edition in folder (ending in '/'), 0 without one.
int installedEdition(const std::string& folder);

// The language the program starts in from folder (ending in '/'): [SYSTEM] Language of Server.INI, or the
// system's when it is below 16. Nothing is written.
int startupLanguage(const std::string& folder);

// Loads everything from folder (ending in '/') as the program does at start-up: the language of
// [SYSTEM] Language, or the system's when it is below 16 (see saveChosenLanguage); the edition of
// Install.INI; the device-profile file they choose; the language library from libraryFolder when the
// language is not Chinese; the output settings and the selected device. The device's port reads
// Port.INI of the folder.
void loadStartupSettings(const std::string& folder, StartupSettings& settings,
                         const std::string& libraryFolder);

// Writes the system's language into Server.INI when the file named none, once the program is going
// ahead: a run refused for its command line leaves the file alone.
void saveChosenLanguage(StartupSettings& settings);

// Writes [SYSTEM] REMAINMEDIALENGTH and MediaWidth, as the program does when it closes.
void saveMediaSettings(StartupSettings& settings);

// Loads the device named by its display name (a key of [CutterDevices]) or by its section name, for this
// run only. False when no device of the file has that name.
bool selectDeviceForRun(StartupSettings& settings, const std::string& name);
