#include "cli/Options.h"

#include "cli/CommandLine.h"

#include <charconv>
#include <ctime>

const char* const PLOT_USAGE =
    R"(Usage: marquill-plot [--home DIR] [--device NAME] [--port NAME|PATH] [--copies N]
                    [--rotate] [--mirror] [--mark-plotted] FILE...
       marquill-plot [--home DIR] --estimate [--device NAME] [--port NAME|PATH] [--copies N]
                    [--rotate] [--mirror] FILE...
       marquill-plot [--home DIR] --probe --port NAME
       marquill-plot [--home DIR] --history [--since DATE] [--csv]

Plots the files as Marquill's automatic queue does, without a window: the settings are loaded from
Server.INI, Port.INI and the device-profile file of the edition and language (Plotter.INI,
Plotter_Eng.INI, PlotterTZ.INI, ...) as the program loads them at start-up. Each file becomes a waiting
job of the automatic list, and the automatic sequence plots every copy of every job, section by section
and band by band, through the selected device's command templates. The progress of each section is
shown on standard error. The remaining media length (REMAINMEDIALENGTH) is written back to Server.INI
after every copy.

Options:
  --home DIR         read and write the settings files in DIR (default: $MARQUILL_HOME, else the
                     folder of this program when it can be written, else
                     $XDG_DATA_HOME/marquill, that is ~/.local/share/marquill)
  --device NAME      use this device for this run: its display name or its section name in the
                     device-profile file (default: the device selected in [CutInfo])
  --port NAME|PATH   send to this port for this run: COM1..COM8, LPT1..LPT8 (Port.INI [PortMap]
                     may map them to devices) or any path, which the first pass creates anew
                     and later bands and copies are added to; plot files, receive folders and
                     the INI files are refused (default: the [CutInfo] port; the File port cannot
                     ask for a file name here, so give it a path with --port)
  --copies N         plot N copies of each file (default 1)
  --rotate           turn each plot by 90 degrees
  --mirror           mirror each plot
  --mark-plotted     give each finished file the plotted mark (modification time set to midnight);
                     without it the files' modification times are left alone
  --estimate         print each file's estimated plotting time instead of plotting: a copy laid out
                     as it would be plotted now, through the device and over the port's line (the
                     serial line settings of Port.INI; a parallel port never holds the device up),
                     timed by the device's pen speeds, its buffer and what each instruction takes;
                     nothing is sent or written
  --probe            check the device on the port given with --port (COM1..COM8 or LPT1..LPT8, with
                     the line settings of Port.INI) instead of plotting: asks it its identity (OI),
                     its buffer size and free space (ESC.L, ESC.B), status (ESC.O) and error (ESC.E),
                     says what it answered and which Handshake to choose in its profile
  --history          print the plot journal (Journal.db of the settings folder) instead of plotting:
                     every copy with its file, copy number, media used, result and times; it may
                     be read while another Marquill program holds the folder
  --since DATE       with --history: only copies begun at or after DATE (local time, YYYY-MM-DD or
                     YYYY-MM-DD HH:MM)
  --csv              with --history: comma-separated values with a header line
  --help             show this text
  --version          show the version

A new settings folder gets the shipped device-profile files of the program folder.

Only one Marquill program works on a settings folder at a time: marquill-plot refuses to start while
the window or marquill-server holds the folder's lock (the file Marquill.lock beside Server.INI).

Exit status: 0 when every job finished; 1 when a job did not (its state text is shown); 2 for a bad
command line or device name; 3 when another Marquill process holds the settings folder (its process
id is shown) or the folder cannot be made; 130 when stopped with Ctrl-C (143 for SIGTERM, 129 for SIGHUP), which ends the copy at its
next write. A stopped copy is not counted as plotted. With --probe: 0 when the device answered, 1 when
the port could not be opened or the device answered nothing. With --estimate: 0 when every file was
estimated, 1 when one could not be read or sends nothing.
)";

namespace {

bool parseCopies(const std::string& text, int& copies)
{
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, copies);
    return error == std::errc() && last == end && copies >= 1;
}

// A local date, with a time of day or from its start.
bool parseSince(const std::string& text, std::time_t& since)
{
    for (const char* format : {"%Y-%m-%d %H:%M:%S", "%Y-%m-%d %H:%M", "%Y-%m-%d"}) {
        std::tm date{};
        const char* end = ::strptime(text.c_str(), format, &date);
        if (end == nullptr || *end != '\0')
            continue;
        date.tm_isdst = -1;
        since = std::mktime(&date);
        return since != -1;
    }
    return false;
}

} // namespace

bool parseOptions(const std::vector<std::string>& arguments, PlotOptions& options, std::string& error)
{
    const auto copies = [&options](const std::string& value, std::string& message) {
        if (parseCopies(value, options.copies))
            return true;
        message = "--copies needs a whole number of at least 1, not \"" + value + "\"";
        return false;
    };
    std::vector<CommandLineOption> table = commonOptions(options);
    table.push_back({.name = "--rotate", .flag = &options.rotate});
    table.push_back({.name = "--mirror", .flag = &options.mirror});
    table.push_back({.name = "--mark-plotted", .flag = &options.markPlotted});
    table.push_back({.name = "--probe", .flag = &options.probe});
    table.push_back({.name = "--estimate", .flag = &options.estimate});
    table.push_back({.name = "--device", .value = &options.device});
    table.push_back({.name = "--copies", .check = copies});
    table.push_back({.name = "--history", .flag = &options.history});
    table.push_back({.name = "--csv", .flag = &options.csv});
    table.push_back({.name = "--since", .check = [&options](const std::string& value, std::string& message) {
                         if (parseSince(value, options.since))
                             return true;
                         message =
                             "--since needs a date YYYY-MM-DD or YYYY-MM-DD HH:MM, not \"" + value + "\"";
                         return false;
                     }});
    if (!parseCommandLine(arguments, table, {.operands = &options.files}, error))
        return false;
    if (options.history && !options.help && !options.version) {
        if (!options.files.empty() || options.probe) {
            error = "--history takes no plot file";
            return false;
        }
        options.readOnly = true;
        return true;
    }
    if ((options.csv || options.since != 0) && !options.history) {
        error = "--csv and --since go with --history";
        return false;
    }
    if (options.estimate && (options.probe || options.markPlotted)) {
        error = "--estimate plots nothing: it goes with neither --probe nor --mark-plotted";
        return false;
    }
    // An estimate writes nothing, so it may be made while another program holds the folder.
    if (options.estimate)
        options.readOnly = true;
    if (options.probe && !options.help && !options.version) {
        if (options.port.empty() || !options.files.empty()) {
            error = "--probe needs a port (--port NAME) and no plot file";
            return false;
        }
        return true;
    }
    if (options.files.empty() && !options.help && !options.version) {
        error = "no plot file given";
        return false;
    }
    return true;
}
