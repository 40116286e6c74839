#include "ports/PortSettings.h"

#include "platform/CProfile.h"
#include "platform/SettingsHome.h"
#include "ports/PortFileKeys.h"

void PortSettings::load(const CProfile& portIni)
{
    readSetting(portIni, PortInfoKeys::FilePath, FilePath, sizeof FilePath);
    // The integers are stored in fields narrower than int, as the file format has always done: a -1
    // written by a list without a selection reads back as 65535, which means "no parity" or "keep".
    OECheck = static_cast<std::uint16_t>(readSetting(portIni, PortInfoKeys::OECheck));
    TranSpeed = static_cast<std::uint32_t>(readSetting(portIni, PortInfoKeys::TranSpeed));
    StopBits = static_cast<std::uint16_t>(readSetting(portIni, PortInfoKeys::StopBits));
    DataWidth = static_cast<std::uint16_t>(readSetting(portIni, PortInfoKeys::DataWidth));
    FlowCtrl = static_cast<std::uint8_t>(readSetting(portIni, PortInfoKeys::FlowCtrl));
}

void PortSettings::save(CProfile& portIni) const
{
    writeSetting(portIni, PortInfoKeys::FilePath, FilePath);
    writeSetting(portIni, PortInfoKeys::OECheck, OECheck);
    writeSetting(portIni, PortInfoKeys::TranSpeed, static_cast<int>(TranSpeed));
    writeSetting(portIni, PortInfoKeys::StopBits, StopBits);
    writeSetting(portIni, PortInfoKeys::DataWidth, DataWidth);
    writeSetting(portIni, PortInfoKeys::FlowCtrl, FlowCtrl);
}

std::string defaultPortIniPath() { return platform::settingsHome() + "Port.INI"; }
