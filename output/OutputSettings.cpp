#include "output/OutputSettings.h"

#include "output/DeviceFileKeys.h"
#include "output/ServerFileKeys.h"
#include "platform/CProfile.h"

void loadOutputSettings(const CProfile& serverFile, const CProfile& deviceFile, ServerSettings& server,
                        CCutInfo& cutInfo, CPlotterDevice& device)
{
    server.unit = readSetting(serverFile, SystemKeys::unit);
    server.OverLap = readSetting(serverFile, SystemKeys::OverLap);
    server.PageOut = readSetting(serverFile, SystemKeys::PageOut);
    server.Section = readSetting(serverFile, SystemKeys::Section);
    server.PloterOffset = readSetting(serverFile, SystemKeys::PloterOffset);
    server.MediaWidth = readSetting(serverFile, SystemKeys::MediaWidth);
    server.REMAINMEDIALENGTH = readSetting(serverFile, SystemKeys::REMAINMEDIALENGTH);
    server.AutoDeleType = readSetting(serverFile, ReceiveKeys::AutoDeleType);
    cutInfo.loadCutInfo(deviceFile);
    server.AutoRotate = readSetting(serverFile, SystemKeys::AutoRotate);
    server.MirrorY = readSetting(serverFile, SystemKeys::MirrorY);
    server.SendPG = readSetting(serverFile, SystemKeys::SendPG);
    server.SortPlot = readSetting(serverFile, SystemKeys::SortPlot);
    server.AdjustOrg = readSetting(serverFile, SystemKeys::AdjustOrg);
    server.DashPlot = readSetting(serverFile, SystemKeys::DashPlot);
    server.LineMark = readSetting(serverFile, SystemKeys::LineMark);
    server.Language = readSetting(serverFile, SystemKeys::Language);

    char deviceName[80];
    readSetting(deviceFile, CutInfoKeys::Device, deviceName, sizeof deviceName);
    device.loadProfile(deviceFile, deviceName);
}
