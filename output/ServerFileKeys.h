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

// marquill-server's network printer (--listen).
namespace NetworkKeys {
constexpr const char* kSection = "Network";
// Megabytes one job received over the network may hold; a larger one is refused at the limit. 0: none.
constexpr IntKey MaxJobMB{kSection, "MaxJobMB", 256, 0, 1024 * 1024};
// Seconds a client of the raw socket may send nothing before it is dropped and its job thrown away.
constexpr IntKey IdleSeconds{kSection, "IdleSeconds", 60, 1, 24 * 3600};
// The group whose members, signed in through PAM, may cancel other users' jobs and pause the printer.
constexpr TextKey AdminGroup{kSection, "AdminGroup", "lpadmin"};
// The PAM service that checks the user names and passwords the clients send; empty: no sign-in. With a
// service every request must sign in, submitting jobs too: the IPP library (1.3) asks for it everywhere
// once a service is set.
constexpr TextKey PamService{kSection, "PamService", ""};
} // namespace NetworkKeys
