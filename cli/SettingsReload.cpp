#include "cli/SettingsReload.h"

#include "jobs/StartupSettings.h"
#include "output/DeviceFileKeys.h"
#include "output/OutputSettings.h"

std::string reloadSettings(StartupSettings& settings)
{
    // Read into a device of its own first: the one in use keeps its profile until the new one is known.
    CCutInfo cutInfo;
    CPlotterDevice device;
    loadOutputSettings(settings.serverFile, settings.deviceFile, settings.server, cutInfo, device);
    if (device.sectionName[0] == '\0') {
        char deviceName[80];
        readSetting(settings.deviceFile, CutInfoKeys::Device, deviceName, sizeof deviceName);
        return std::string("device \"") + deviceName +
               "\" of [CutInfo] is not listed in [CutterDevices] of " + settings.deviceFile.path();
    }
    loadOutputSettings(settings.serverFile, settings.deviceFile, settings.server, settings.cutInfo,
                       settings.device);
    return {};
}
