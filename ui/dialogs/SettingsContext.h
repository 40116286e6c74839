#pragma once

#include <functional>
#include <string>

class CCutInfo;
class CPlotterDevice;
class CProfile;
struct ServerSettings;

// What the settings dialogs edit: the three settings files, the in-memory settings the output run uses,
// and the window's answers to a change. The dialogs hold no copy of any setting.
struct SettingsContext {
    CProfile& serverFile; // Server.INI
    CProfile& deviceFile; // the device-profile file of the edition and language
    CProfile& portFile;   // Port.INI
    ServerSettings& server;
    CCutInfo& cutInfo;
    CPlotterDevice& device;
    int editionCode = 0;

    // Both job lists show their rows again (the output settings changed).
    std::function<void()> refreshJobLists;
    // The automatic list shows its rows again (the media changed).
    std::function<void()> redrawAutomaticList;
    // The status bar's remaining-media pane shows the text.
    std::function<void(const std::string&)> showRemainingMedia;
};
