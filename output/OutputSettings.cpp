#include "output/OutputSettings.h"

#include "platform/CProfile.h"

namespace {

// Section lengths and overlaps beyond this are no setting anyone made; shown as a job's section they
// would read as a negative number.
constexpr int LONGEST_SECTION = 1000000;

int sectionValue(const CProfile& serverFile, const char* key, int defaultValue)
{
    const int value = serverFile.getInt("SYSTEM", key, defaultValue);
    return value >= 0 && value <= LONGEST_SECTION ? value : defaultValue;
}

} // namespace

void loadOutputSettings(const CProfile& serverFile, const CProfile& deviceFile, ServerSettings& server,
                        CCutInfo& cutInfo, CPlotterDevice& device)
{
    const char* system = "SYSTEM";
    server.unit = serverFile.getInt(system, "unit", 0);
    server.OverLap = sectionValue(serverFile, "OverLap", 10);
    server.PageOut = serverFile.getInt(system, "PageOut", 0);
    server.Section = sectionValue(serverFile, "Section", 500);
    server.PloterOffset = serverFile.getInt(system, "PloterOffset", 0);
    server.MediaWidth = serverFile.getInt(system, "MediaWidth", 1800);
    server.REMAINMEDIALENGTH = serverFile.getInt(system, "REMAINMEDIALENGTH", 150000);
    server.AutoDeleType = serverFile.getInt("Receive", "AutoDeleType", 1);
    cutInfo.loadCutInfo(deviceFile);
    server.AutoRotate = serverFile.getInt(system, "AutoRotate", 0);
    server.MirrorY = serverFile.getInt(system, "MirrorY", 0);
    server.SendPG = serverFile.getInt(system, "SendPG", 1);
    server.SortPlot = serverFile.getInt(system, "SortPlot", 1);
    server.AdjustOrg = serverFile.getInt(system, "AdjustOrg", 0);
    server.DashPlot = serverFile.getInt(system, "DashPlot", 0);
    server.LineMark = serverFile.getInt(system, "LineMark", 0);
    server.Language = serverFile.getInt(system, "Language", 0);

    char deviceName[80];
    deviceFile.getString("CutInfo", "Device", deviceName, sizeof deviceName, "");
    device.loadProfile(deviceFile, deviceName);
}
