// marquill-vplotter: a simulated pen plotter on a pseudo-terminal, for trying a device profile, a port
// setting or a handshake without a device or media. It prints the device to give as the port (through
// [PortMap] of Port.INI, COM1=<device>) and, when it ends, what it received, lost and drew.

#include "vplotter/VirtualPlotter.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t endRequested = 0;

void requestEnd(int) { endRequested = 1; }

const char* const USAGE =
    "usage: marquill-vplotter [--buffer BYTES] [--baud RATE] [--speed MM_PER_S] [--up-speed MM_PER_S]\n"
    "                         [--instruction-ms MS] [--xon-xoff] [--seconds N]\n"
    "Runs until Ctrl-C, or for N seconds, then reports. The pen draws at --speed until VS sets\n"
    "another and moves lifted at --up-speed (default: --speed); every instruction takes --instruction-ms\n"
    "besides its movement (default 0).\n";

bool readNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value > 0 && value < 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    VirtualPlotterSettings settings;
    double seconds = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        double value = 0;
        if (option == "--xon-xoff") {
            settings.xonXoff = true;
            continue;
        }
        if (i + 1 >= argc || !readNumber(argv[i + 1], value)) {
            std::fputs(USAGE, stderr);
            return 2;
        }
        ++i;
        if (option == "--buffer")
            settings.bufferBytes = static_cast<std::size_t>(value);
        else if (option == "--baud")
            settings.baud = static_cast<unsigned>(value);
        else if (option == "--speed")
            settings.penSpeed = value;
        else if (option == "--up-speed")
            settings.penUpSpeed = value;
        else if (option == "--instruction-ms")
            settings.instructionSeconds = value / 1000;
        else if (option == "--seconds")
            seconds = value;
        else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }

    VirtualPlotter plotter(settings);
    if (!plotter.ok()) {
        std::fprintf(stderr, "marquill-vplotter: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::signal(SIGINT, requestEnd);
    std::signal(SIGTERM, requestEnd);
    std::printf("device: %s\nbuffer %zu bytes, %u baud, %g mm/s%s\n", plotter.path().c_str(),
                settings.bufferBytes, settings.baud, settings.penSpeed, settings.xonXoff ? ", XON/XOFF" : "");
    std::fflush(stdout);
    while (endRequested == 0 && (seconds == 0 || plotter.seconds() < seconds))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    const VirtualPlotterReport report = plotter.report();
    std::printf(
        "received %zu bytes, lost %zu, drew %zu, discarded %zu by %zu aborts, %zu device-control requests\n",
        report.received, report.lost, report.executed, report.discarded, report.aborts, report.requests);
    if (report.finishedAt >= 0)
        std::printf("finished drawing at %.3f s%s\n", report.finishedAt,
                    report.drawing ? ", still drawing" : "");
    return 0;
}
