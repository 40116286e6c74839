#include "cli/StartupSettings.h"

#include "output/OutputSettings.h"
#include "platform/Installation.h"
#include "res/strings/StringTable.h"

#include <strings.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int LANGUAGE_CHINESE = 2052;
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

void loadStartupSettings(const std::string& folder, StartupSettings& settings)
{
    settings.serverFile.setPath((folder + "Server.INI").c_str());
    settings.language = settings.serverFile.getInt("SYSTEM", "Language", 0);
    if (settings.language < FIRST_LANGUAGE_ID) {
        settings.language = platform::systemDefaultLanguage();
        settings.serverFile.setInt("SYSTEM", "Language", settings.language);
    }
    CProfile installFile;
    installFile.setPath((folder + "Install.INI").c_str());
    const int edition = installFile.getInt("Install", "Edition", 0);
    settings.deviceFile.setPath((folder + deviceProfileFileName(edition, settings.language)).c_str());
    strings::useEnglishStrings(settings.language != LANGUAGE_CHINESE);
    settings.device.port = std::make_unique<CPlotPort>(folder + "Port.INI");
    loadOutputSettings(settings.serverFile, settings.deviceFile, settings.server, settings.cutInfo,
                       settings.device);
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
