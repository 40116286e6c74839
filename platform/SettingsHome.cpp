#include "platform/SettingsHome.h"

#include "platform/ProgramFolder.h"

#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

// An installed program lives here; its folder belongs to the package manager.
constexpr const char* INSTALLED_PREFIX = "/usr/";

std::string& currentHome()
{
    static std::string folder;
    return folder;
}

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string userHomeFolder()
{
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
            home = entry->pw_dir;
    }
    return home;
}

bool isAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string userDataHome(const HomeSources& sources)
{
    if (isAbsolute(sources.xdgDataHome))
        return withSlash(sources.xdgDataHome) + "marquill/";
    if (isAbsolute(sources.userHome))
        return withSlash(sources.userHome) + ".local/share/marquill/";
    return "";
}

// The files an installation ships for a new home: the device-profile files of every edition and language
// and the installer's Install.INI. Server.INI and Port.INI are the home's own.
bool isShippedSettingsFile(const std::string& name)
{
    const bool ini = name.size() > 4 && ::strcasecmp(name.c_str() + name.size() - 4, ".INI") == 0;
    return ini &&
           (::strncasecmp(name.c_str(), "Plotter", 7) == 0 || ::strcasecmp(name.c_str(), "Install.INI") == 0);
}

} // namespace

std::string chooseSettingsHome(const HomeSources& sources, HomeFallback fallback)
{
    if (!sources.given.empty())
        return withSlash(sources.given);
    if (!sources.marquillHome.empty())
        return withSlash(sources.marquillHome);
    if (sources.programFolderWritable)
        return withSlash(sources.programFolder);
    if (fallback == HomeFallback::ServiceState) {
        // systemd may name several folders, separated by colons; the first is the unit's own.
        const std::string first = sources.stateDirectory.substr(0, sources.stateDirectory.find(':'));
        if (isAbsolute(first))
            return withSlash(first);
    }
    return userDataHome(sources);
}

HomeSources settingsHomeSources(const std::string& given)
{
    HomeSources sources;
    sources.given = given;
    sources.marquillHome = environment("MARQUILL_HOME");
    sources.xdgDataHome = environment("XDG_DATA_HOME");
    sources.userHome = userHomeFolder();
    sources.stateDirectory = environment("STATE_DIRECTORY");
    sources.programFolder = programFolder();
    sources.programFolderWritable = sources.programFolder.rfind(INSTALLED_PREFIX, 0) != 0 &&
                                    ::access(sources.programFolder.c_str(), W_OK) == 0;
    return sources;
}

bool prepareSettingsHome(const std::string& home, const std::string& programFolder, std::string& error)
{
    std::error_code failure;
    fs::create_directories(home, failure);
    if (failure || !fs::is_directory(home, failure)) {
        error = "cannot make the settings folder " + home + ": " +
                (failure ? failure.message() : std::string("it is not a folder"));
        return false;
    }
    if (fs::equivalent(home, programFolder, failure))
        return true;
    // A home is new until a program has written its Server.INI; until then it takes the shipped files
    // it lacks, and a file the user has edited or removed afterwards stays as it is.
    if (fs::exists(fs::path(home) / "Server.INI", failure))
        return true;
    for (const fs::directory_entry& entry : fs::directory_iterator(programFolder, failure)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(failure) || !isShippedSettingsFile(name))
            continue;
        fs::copy_file(entry.path(), fs::path(home) / name, fs::copy_options::skip_existing, failure);
        if (failure) {
            error = "cannot copy " + name;
            error += " into the settings folder " + home;
            error += ": " + failure.message();
            return false;
        }
    }
    return true;
}

std::string openSettingsHome(const std::string& given, HomeFallback fallback, std::string& error)
{
    std::string home = chooseSettingsHome(settingsHomeSources(given), fallback);
    if (home.empty()) {
        error = "no settings folder: give one with --home or MARQUILL_HOME";
        return "";
    }
    if (!prepareSettingsHome(home, programFolder(), error))
        return "";
    setSettingsHome(home);
    return home;
}

std::string settingsHome() { return currentHome().empty() ? programFolder() : currentHome(); }

void setSettingsHome(const std::string& folder) { currentHome() = withSlash(folder); }

} // namespace platform
