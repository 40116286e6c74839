#pragma once

#include <string>

// The settings home: the folder of Server.INI, Port.INI, the device-profile file, the lock and the drive
// folders (C:\Receive is drive_c/Receive in it). A build run in place keeps everything in its program
// folder; an installed program keeps the modules and the shipped INI files in its program folder and
// the settings of each user, or of the service, in a home of their own.
namespace platform {

// Where a program looks when it is given no home and its program folder cannot take settings: the window
// and marquill-plot in the user's data folder, the unattended server in its service's state folder.
enum class HomeFallback { UserData, ServiceState };

// What the home is chosen from, taken from the command line and the environment.
struct HomeSources {
    std::string given;          // --home; empty when not given
    std::string marquillHome;   // $MARQUILL_HOME
    std::string xdgDataHome;    // $XDG_DATA_HOME
    std::string userHome;       // $HOME, or the user's entry in the password database
    std::string stateDirectory; // $STATE_DIRECTORY, set by systemd for a unit with StateDirectory=
    std::string programFolder;
    bool programFolderWritable = false;
};

// The home, ending in '/': --home, else $MARQUILL_HOME, else the program folder when it can take settings,
// else the fallback's folder: $XDG_DATA_HOME/marquill (~/.local/share/marquill when unset or relative),
// or, for the service, the first folder of $STATE_DIRECTORY when set. Empty when none can be named.
std::string chooseSettingsHome(const HomeSources& sources, HomeFallback fallback);

// The sources of this process: its environment and program folder. The program folder of an installed
// program (under /usr) never takes settings, not even for root.
HomeSources settingsHomeSources(const std::string& given);

// Makes the home ready: creates it when missing and copies into it every shipped INI file of the program
// folder (Plotter.INI, ...) that it lacks, so a new home starts on the shipped settings. Nothing is copied
// when the home is the program folder. False, with the reason in error, when the folder cannot be made.
bool prepareSettingsHome(const std::string& home, const std::string& programFolder, std::string& error);

// Chooses, prepares and makes current the home of this process. Empty, with the reason in error, when it
// cannot be used.
std::string openSettingsHome(const std::string& given, HomeFallback fallback, std::string& error);

// The current home: what openSettingsHome or setSettingsHome made current, else the program folder.
std::string settingsHome();
// An empty text goes back to the program folder; a missing trailing '/' is added.
void setSettingsHome(const std::string& folder);

} // namespace platform
