#pragma once

#include <string>
#include <vector>

// What the command line of marquill-server asks for.
struct ServerOptions {
    std::string home;         // folder of the settings files; empty: the settings home
    std::string port;         // port name or path for this run; empty: the [CutInfo] port
    std::string outputFolder; // where the File port's passes go; empty: Output/ in the home folder
    bool once = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments after the program name. False with a message in error for an unknown option, a
// missing value or a stray argument.
bool parseServerOptions(const std::vector<std::string>& arguments, ServerOptions& options,
                        std::string& error);

extern const char* const SERVER_USAGE;
