#include "cli/ProgramStart.h"

#include "cli/HomeFolder.h"
#include "jobs/StartupSettings.h"
#include "platform/ProgramFolder.h"

#include <cstdio>

bool ProgramStart::acceptCommandLine(bool parsed, const std::string& error, bool help)
{
    if (!parsed) {
        std::fprintf(stderr, "%s: %s (%s --help says more)\n", name_, error.c_str(), name_);
        exitStatus_ = EXIT_BAD_COMMAND_LINE;
        return false;
    }
    if (help) {
        std::fputs(usage_, stdout);
        exitStatus_ = 0;
        return false;
    }
    return true;
}

bool ProgramStart::takeHomeFolder(const std::string& given)
{
    home_ = homeFolder(given);
    if (lock_.take(home_))
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
