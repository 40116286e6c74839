#pragma once

#include "platform/SettingKey.h"

// The keys of Port.INI. Names are spelled as the program writes them when a key is new.

namespace PortInfoKeys {
constexpr const char* kSection = "PortInfo";
// The folder of the last file chosen for the File port.
constexpr TextKey FilePath{kSection, "FilePath"};
constexpr IntKey OECheck{kSection, "OECheck", 0};
constexpr IntKey TranSpeed{kSection, "TranSpeed", 9600};
constexpr IntKey StopBits{kSection, "StopBits", 0};
constexpr IntKey DataWidth{kSection, "DataWidth", 8};
constexpr IntKey FlowCtrl{kSection, "FlowCtrl", 2};
} // namespace PortInfoKeys

// COM1..COM8 and LPT1..LPT8 = the device behind the name, when the system's own order is not wanted.
namespace PortMapKeys {
constexpr const char* kSection = "PortMap";
} // namespace PortMapKeys
