#pragma once

#include "cli/CommandLine.h"

#include <string>
#include <vector>

// The options marquill-plot and marquill-server both take.
struct CommonOptions {
    std::string home; // folder of the settings files; empty: the settings home
    std::string port; // port name or path for this run; empty: the [CutInfo] port
    bool help = false;
    bool version = false;
    // The run only reads the settings folder, beside the program that holds it: its lock is not taken.
    bool readOnly = false;
};

// --help, --version, --home and --port, for a program's table of options.
inline std::vector<CommandLineOption> commonOptions(CommonOptions& options)
{
    return {
        {.name = "--help", .flag = &options.help},
        {.name = "--version", .flag = &options.version},
        {.name = "--home", .value = &options.home},
        {.name = "--port", .value = &options.port},
    };
}
