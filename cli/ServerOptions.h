#pragma once

#include "cli/CommonOptions.h"

#include <string>
#include <vector>

// What the command line of marquill-server asks for.
struct ServerOptions : CommonOptions {
    std::string outputFolder; // where the File port's passes go; empty: Output/ in the home folder
    bool once = false;
    // The network printer: off while listenAddress is empty.
    std::string listenAddress;
    int listenPort = 0;
    int rawPort = 0;
};

// The IPP port when --listen names none, and the raw socket of the first printer.
constexpr int DEFAULT_LISTEN_PORT = 8631;
constexpr int DEFAULT_RAW_PORT = 9100;

// Reads the arguments after the program name. False with a message in error for an unknown option, a
// missing value or a stray argument.
bool parseServerOptions(const std::vector<std::string>& arguments, ServerOptions& options,
                        std::string& error);

// Whether a --listen address reaches only this machine: localhost or a loopback address. Anything else,
// "*" and other host names among them, may be reached from the network.
bool isLoopbackAddress(const std::string& address);

extern const char* const SERVER_USAGE;
