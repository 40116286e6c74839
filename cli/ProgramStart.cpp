#include "cli/ProgramStart.h"

#include "cli/CommonOptions.h"
#include "jobs/StartupSettings.h"
#include "platform/ProgramFolder.h"
#include "platform/Version.h"

#include <cstdio>

bool ProgramStart::acceptCommandLine(bool parsed, const std::string& error, const CommonOptions& options)
{
    if (!parsed) {
        std::fprintf(stderr, "%s: %s (%s --help says more)\n", name_, error.c_str(), name_);
        exitStatus_ = EXIT_BAD_COMMAND_LINE;
        return false;
    }
    if (options.help) {
        std::fputs(usage_, stdout);
        exitStatus_ = 0;
        return false;
    }
    if (options.version) {
        std::printf("%s %s\n", name_, MARQUILL_VERSION);
        exitStatus_ = 0;
        return false;
    }
    return true;
}

bool ProgramStart::takeHomeFolder(const std::string& given, bool readOnly)
{
    std::string error;
    home_ = platform::openSettingsHome(given, fallback_, error);
    if (home_.empty()) {
        std::fprintf(stderr, "%s: %s\n", name_, error.c_str());
        exitStatus_ = EXIT_HOME_IN_USE;
        return false;
    }
    if (readOnly || lock_.take(home_))
        return true;
    std::fprintf(stderr, "%s: %s\n", name_, lock_.refusal().c_str());
    exitStatus_ = EXIT_HOME_IN_USE;
    return false;
}

std::unique_ptr<StartupSettings> ProgramStart::loadSettings() const
{
    auto settings = std::make_unique<StartupSettings>();
    loadStartupSettings(home_, *settings, platform::programFolder());
    return settings;
}

bool ProgramStart::hasDevice(const StartupSettings& settings, const char* hint)
{
    if (settings.device.sectionName[0] != '\0')
        return true;
    return refuse(std::string(settings.deviceFile.path()) + " selects no device of its [CutterDevices]" +
                  hint);
}

bool ProgramStart::refuse(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", name_, message.c_str());
    exitStatus_ = EXIT_BAD_COMMAND_LINE;
    return false;
}
