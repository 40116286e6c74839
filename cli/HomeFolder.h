#pragma once

#include "platform/ProgramFolder.h"

#include <string>

// The folder of the settings files of a command-line program: the one given with --home, ending in '/',
// or the program folder when none was given.
inline std::string homeFolder(const std::string& given)
{
    if (given.empty())
        return platform::programFolder();
    return given.back() == '/' ? given : given + '/';
}
