#pragma once

#include "platform/SettingKey.h"

// The keys of Server.INI. Names are spelled as the program writes them when a key is new.

namespace SystemKeys {
constexpr const char* kSection = "SYSTEM";
// Section lengths and overlaps beyond a million millimetres are no setting anyone made; shown as a
// job's section they would read as a negative number.
constexpr int kLongestSection = 1000000;

constexpr IntKey unit{kSection, "unit", 0};
constexpr IntKey OverLap{kSection, "OverLap", 10, 0, kLongestSection};
constexpr IntKey PageOut{kSection, "PageOut", 0};
constexpr IntKey Section{kSection, "Section", 500, 0, kLongestSection};
constexpr IntKey PloterOffset{kSection, "PloterOffset", 0};
constexpr IntKey MediaWidth{kSection, "MediaWidth", 1800};
constexpr IntKey REMAINMEDIALENGTH{kSection, "REMAINMEDIALENGTH", 150000};
constexpr IntKey AutoRotate{kSection, "AUTOROTATE", 0};
constexpr IntKey MirrorY{kSection, "MirrorY", 0};
constexpr IntKey SendPG{kSection, "SENDPG", 1};
constexpr IntKey SortPlot{kSection, "SortPlot", 1};
constexpr IntKey AdjustOrg{kSection, "AdjustOrg", 0};
constexpr IntKey DashPlot{kSection, "DASHPLOT", 0};
constexpr IntKey LineMark{kSection, "LineMark", 0};
constexpr IntKey Language{kSection, "Language", 0};
} // namespace SystemKeys

namespace ReceiveKeys {
constexpr const char* kSection = "Receive";
constexpr TextKey AReceivePath{kSection, "AReceivePath", "C:\\Receive"};
constexpr TextKey MReceivePath{kSection, "MReceivePath", "C:\\Receive2"};
constexpr IntKey AutoDeleType{kSection, "AutoDeleType", 1};
} // namespace ReceiveKeys

namespace BackUpKeys {
constexpr const char* kSection = "BackUp";
constexpr TextKey BackUpPath{kSection, "BackUpPath", "C:\\BackUp"};
constexpr IntKey AutoDeleType{kSection, "AutoDeleType", 0};
} // namespace BackUpKeys
