#include "jobs/StartupSettings.h"

#include "output/OutputSettings.h"
#include "output/ServerFileKeys.h"
#include "platform/Installation.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <strings.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Values below this are no language id: the language has not been set yet.
constexpr int FIRST_LANGUAGE_ID = 16;

} // namespace

const char* deviceProfileFileName(int editionCode, int language)
{
    const bool chinese = language == LANGUAGE_CHINESE;
    switch (editionCode) {
    case 1:
        return chinese ? "PlotterTZ.INI" : "PlotterTZ_Eng.INI";
    case 2:
        return chinese ? "PlotterRV.INI" : "PlotterRV_Eng.INI";
    case 3:
        return chinese ? "PlotterKM.INI" : "PlotterKM_Eng.INI";
    default:
        return chinese ? "Plotter.INI" : "Plotter_Eng.INI";
    }
}

int editionTitleId(int editionCode)
{
    switch (editionCode) {
    case 1:
        return strings::IDS_TITLE_EDITION_1;
    case 2:
        return strings::IDS_TITLE_EDITION_2;
    case 3:
        return strings::IDS_TITLE_EDITION_3;
    default:
        return strings::IDS_TITLE_GENERIC;
    }
}

int editionIconId(int editionCode)
{
    switch (editionCode) {
    case 1:
        return 151;
    case 3:
        return 149;
    default:
        return 148;
    }
}

int installedEdition(const std::string& folder)
{
    CProfile installFile;
    installFile.setPath((folder + "Install.INI").c_str());
    return readSetting(installFile, platform::kEditionKey);
}

int startupLanguage(const std::string& folder)
{
    CProfile serverFile;
    serverFile.setPath((folder + "Server.INI").c_str());
    const int language = readSetting(serverFile, SystemKeys::Language);
    return language < FIRST_LANGUAGE_ID ? platform::systemDefaultLanguage() : language;
}

void loadStartupSettings(const std::string& folder, StartupSettings& settings,
                         const std::string& libraryFolder)
{
    settings.serverFile.setPath((folder + "Server.INI").c_str());
    settings.languageFromSystem = readSetting(settings.serverFile, SystemKeys::Language) < FIRST_LANGUAGE_ID;
    settings.language = startupLanguage(folder);
    settings.edition = installedEdition(folder);
    settings.deviceFile.setPath(
        (folder + deviceProfileFileName(settings.edition, settings.language)).c_str());
    if (settings.language == LANGUAGE_CHINESE)
        settings.languageLibrary.unload();
    else
        settings.languageLibrary.load(libraryFolder);
    settings.device.port = std::make_unique<CPlotPort>(folder + "Port.INI");
    loadOutputSettings(settings.serverFile, settings.deviceFile, settings.server, settings.cutInfo,
                       settings.device);
}

void saveChosenLanguage(StartupSettings& settings)
{
    if (settings.languageFromSystem)
        writeSetting(settings.serverFile, SystemKeys::Language, settings.language);
}

void saveMediaSettings(StartupSettings& settings)
{
    writeSetting(settings.serverFile, SystemKeys::REMAINMEDIALENGTH, settings.server.REMAINMEDIALENGTH);
    writeSetting(settings.serverFile, SystemKeys::MediaWidth, settings.server.MediaWidth);
}

bool selectDeviceForRun(StartupSettings& settings, const std::string& name)
{
    std::vector<char> keys(16384);
    settings.deviceFile.getString("CutterDevices", nullptr, keys.data(), static_cast<int>(keys.size()), "");
    for (const char* key = keys.data(); *key != '\0'; key += std::strlen(key) + 1) {
        char section[80];
        settings.deviceFile.getString("CutterDevices", key, section, sizeof section, "");
        if (::strcasecmp(key, name.c_str()) == 0 || ::strcasecmp(section, name.c_str()) == 0) {
            settings.device.loadProfile(settings.deviceFile, key);
            return true;
        }
    }
    return false;
}
