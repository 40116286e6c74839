#include "ports/PortSettings.h"

#include "platform/CProfile.h"
#include "platform/SettingsHome.h"

namespace {
constexpr const char* kSection = "PortInfo";
}

void PortSettings::load(const CProfile& portIni)
{
    portIni.getString(kSection, "FilePath", FilePath, sizeof FilePath, "");
    // The integers are stored in fields narrower than int, as the file format has always done: a -1
    // written by a list without a selection reads back as 65535, which means "no parity" or "keep".
    OECheck = static_cast<std::uint16_t>(portIni.getInt(kSection, "OECheck", 0));
    TranSpeed = static_cast<std::uint32_t>(portIni.getInt(kSection, "TranSpeed", 9600));
    StopBits = static_cast<std::uint16_t>(portIni.getInt(kSection, "StopBits", 0));
    DataWidth = static_cast<std::uint16_t>(portIni.getInt(kSection, "DataWidth", 8));
    FlowCtrl = static_cast<std::uint8_t>(portIni.getInt(kSection, "FlowCtrl", 2));
}

void PortSettings::save(CProfile& portIni) const
{
    portIni.setString(kSection, "FilePath", FilePath);
    portIni.setInt(kSection, "OECheck", OECheck);
    portIni.setInt(kSection, "TranSpeed", static_cast<int>(TranSpeed));
    portIni.setInt(kSection, "StopBits", StopBits);
    portIni.setInt(kSection, "DataWidth", DataWidth);
    portIni.setInt(kSection, "FlowCtrl", FlowCtrl);
}

std::string defaultPortIniPath() { return platform::settingsHome() + "Port.INI"; }
