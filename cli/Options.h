#pragma once

#include "cli/CommonOptions.h"

#include <ctime>
#include <string>
#include <vector>

// What the command line of marquill-plot asks for.
struct PlotOptions : CommonOptions {
    std::string device; // device for this run, by display name or section name; empty: the selected one
    int copies = 1;
    bool rotate = false;
    bool mirror = false;
    bool markPlotted = false;
    bool probe = false;    // check the device on the port instead of plotting
    bool estimate = false; // print each file's estimated plotting time instead of plotting
    bool history = false;  // print the plot journal instead of plotting
    std::time_t since = 0; // --history: copies begun at or after this time
    bool csv = false;
    std::vector<std::string> files;
};

// Reads the arguments after the program name. False with a message in error for an unknown option, a
// missing or bad value, or no file (unless --help is asked for).
bool parseOptions(const std::vector<std::string>& arguments, PlotOptions& options, std::string& error);

extern const char* const PLOT_USAGE;
