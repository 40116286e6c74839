#pragma once

#include "platform/HomeFolderLock.h"
#include "platform/SettingsHome.h"

#include <memory>
#include <string>
#include <vector>

struct CommonOptions;
struct StartupSettings;

// Exit statuses every command-line program gives alike.
constexpr int EXIT_BAD_COMMAND_LINE = 2;
constexpr int EXIT_HOME_IN_USE = 3;

// The start marquill-plot and marquill-server share: the command line read, the help shown, the
// settings folder taken, and the selected device checked. Every step that fails says why on standard
// error, prefixed with the program's name, and leaves the exit status the program ends with.
class ProgramStart {
public:
    // fallback: where the settings live when neither --home nor MARQUILL_HOME names a folder and the
    // program folder cannot be written.
    ProgramStart(const char* programName, const char* usage, platform::HomeFallback fallback)
        : name_(programName), usage_(usage), fallback_(fallback)
    {
    }

    // Reads the command line with parse, then opens and takes the settings home it names. False when the
    // program ends here: for a refused command line (the message points to --help), for --help or
    // --version (the usage or the version goes to standard output, and the program ends with 0), for a
    // home that cannot be made, or while another Marquill program holds the folder. The folder is taken
    // before the settings are read, as its holder may be writing them.
    template <typename Options>
    bool begin(int argc, char** argv, Options& options,
               bool (*parse)(const std::vector<std::string>&, Options&, std::string&))
    {
        std::string error;
        const bool parsed = parse(std::vector<std::string>(argv + 1, argv + argc), options, error);
        return acceptCommandLine(parsed, error, options) && takeHomeFolder(options.home, options.readOnly);
    }
    // The settings of the folder, loaded as every program loads them at start-up.
    std::unique_ptr<StartupSettings> loadSettings() const;
    // Without a device nothing would be sent, yet every job would finish: false when the settings select
    // none. hint is added to the message.
    bool hasDevice(const StartupSettings& settings, const char* hint = "");
    // Says a refusal on standard error and ends with a bad command line.
    bool refuse(const std::string& message);

    const std::string& home() const { return home_; }
    int exitStatus() const { return exitStatus_; }

private:
    bool acceptCommandLine(bool parsed, const std::string& error, const CommonOptions& options);
    bool takeHomeFolder(const std::string& given, bool readOnly);

    const char* name_;
    const char* usage_;
    platform::HomeFallback fallback_;
    std::string home_;
    platform::HomeFolderLock lock_;
    int exitStatus_ = 0;
};
