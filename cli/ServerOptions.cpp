#include "cli/ServerOptions.h"

#include "cli/CommandLine.h"

#include <arpa/inet.h>
#include <strings.h>

const char* const SERVER_USAGE =
    R"(Usage: marquill-server [--home DIR] [--port NAME|PATH] [--output-folder DIR] [--once]
                      [--listen [ADDRESS][:PORT]] [--raw-port PORT]

Plots, without a window and without a person, every file that arrives in the automatic receive folder
([Receive] AReceivePath of Server.INI). The settings are loaded as the window loads them at start-up.
The folder is scanned every 10 seconds, and a file closed or moved into it is taken as soon as it has
stayed unchanged for 5 seconds (a file still being written is left for later). Every waiting job is
plotted in the automatic sequence, copy by copy; a finished file gets the plotted mark and is never
plotted again. Old plotted files are deleted by [Receive] AutoDeleType once a day and at exit.

The roll count (REMAINMEDIALENGTH) is written to Server.INI after every copy. A job too long for the
media left waits in standby until the count is raised in Server.INI. A job that failed stays failed
until its file is written again. One line per event goes to standard output.

Options:
  --home DIR           read and write the settings files in DIR (default: $MARQUILL_HOME, else the
                       folder of this program when it can be written, else the service's state
                       folder $STATE_DIRECTORY, else ~/.local/share/marquill)
  --port NAME|PATH     send to this port: COM1..COM8, LPT1..LPT8 or any path (default: the [CutInfo]
                       port)
  --output-folder DIR  where the File port writes: each pass becomes NAME.out, named after the plot
                       file, and appears whole when the pass ends (default: Output/ in the home folder)
  --once               plot what is in the folder now, then exit
  --listen [ADDRESS][:PORT]
                       be a network printer, named after the device profile, at
                       ipp://ADDRESS:PORT/ipp/print/NAME and on a raw socket (default: off; ADDRESS
                       localhost, * for every address; PORT 8631). HP-GL jobs received are written into
                       the automatic receive folder, whole, named after the job
  --raw-port PORT      the raw socket's port with --listen, 0 for none (default: 9100)
  --help               show this text
  --version            show the version

Signals: SIGTERM and SIGINT stop the copy at its next write, write the settings and exit; SIGHUP reloads
the settings and the device profile between copies.

Exit status: 0 after a signal, or with --once when every job finished; 1 with --once when a job did not;
2 for a bad command line, no device or a --listen address that cannot be opened; 3 when another Marquill process holds the settings folder or it cannot be made;
130 when --once was interrupted.
)";

namespace {

bool readPort(const std::string& text, int lowest, int& port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    port = std::stoi(text);
    return port >= lowest && port <= 65535;
}

// ADDRESS, ADDRESS:PORT or :PORT; an IPv6 address in brackets ([::1]:631).
bool readListen(const std::string& value, ServerOptions& options, std::string& error)
{
    std::string address = value;
    std::string port;
    bool portGiven = false;
    const std::size_t bracket = value.rfind(']');
    const std::size_t colon = value.rfind(':');
    if (colon != std::string::npos &&
        (value[0] != '[' || (bracket != std::string::npos && colon > bracket))) {
        address = value.substr(0, colon);
        port = value.substr(colon + 1);
        portGiven = true;
    }
    if (address.size() >= 2 && address.front() == '[' && address.back() == ']')
        address = address.substr(1, address.size() - 2);
    options.listenAddress = address.empty() ? "localhost" : address;
    options.listenPort = DEFAULT_LISTEN_PORT;
    if (portGiven && !readPort(port, 1, options.listenPort)) {
        error = "--listen: not a port: " + port;
        return false;
    }
    return true;
}

} // namespace

bool parseServerOptions(const std::vector<std::string>& arguments, ServerOptions& options, std::string& error)
{
    std::vector<CommandLineOption> table = commonOptions(options);
    table.push_back({.name = "--once", .flag = &options.once});
    table.push_back({.name = "--output-folder", .value = &options.outputFolder});
    table.push_back({.name = "--listen", .check = [&](const std::string& value, std::string& message) {
                         return readListen(value, options, message);
                     }});
    table.push_back({.name = "--raw-port", .check = [&](const std::string& value, std::string& message) {
                         if (readPort(value, 0, options.rawPort))
                             return true;
                         message = "--raw-port: not a port: " + value;
                         return false;
                     }});
    options.rawPort = DEFAULT_RAW_PORT;
    if (!parseCommandLine(arguments, table, {.emptyValues = false}, error))
        return false;
    if (options.once && !options.listenAddress.empty()) {
        error = "--listen cannot go with --once";
        return false;
    }
    return true;
}

bool isLoopbackAddress(const std::string& address)
{
    if (strcasecmp(address.c_str(), "localhost") == 0)
        return true;
    in_addr v4{};
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, address.c_str(), &v6) != 1)
        return false;
    if (IN6_IS_ADDR_V4MAPPED(&v6))
        return v6.s6_addr[12] == 127;
    return IN6_IS_ADDR_LOOPBACK(&v6);
}
