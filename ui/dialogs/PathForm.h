#pragma once

#include "ui/dialogs/SettingsContext.h"

#include <string>

// The values of the path dialog: the two receive folders with their clean-up rule, and the backup folder
// with its rule, all in Server.INI.
class PathForm {
public:
    // Both clean-up lists hold eight entries.
    static constexpr int kRuleCount = 8;

    explicit PathForm(SettingsContext& settings) : settings_(settings) {}

    // Fills the fields from Server.INI with the values in effect when a key is missing. The stored clean-up
    // rule of the receive folder also becomes the rule in memory.
    void open();
    // Writes the five keys in order and sets the clean-up rule in memory. Folders are stored as typed.
    // A list left without a selection keeps the rule that was loaded for it. A file that cannot be
    // written is reported.
    void confirm();

    // Whether the folder a setting names exists, a Windows drive folder mapped as the intake maps it.
    static bool folderExists(const std::string& folder);

    std::string automaticFolder;
    std::string manualFolder;
    std::string backupFolder;
    int receiveRule = -1; // position in the receive clean-up list, -1 for none
    int backupRule = -1;

private:
    SettingsContext& settings_;
    int loadedReceiveRule_ = 0;
    int loadedBackupRule_ = 0;
};
