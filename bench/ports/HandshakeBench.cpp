// The buffer query's throughput: a job written through the handshake into a simulated plotter that
// draws faster than its line brings data, as a share of the line's rate. The questions, their answers and
// the waits for them are what the handshake costs; the goal is at least 90 % of the line.
#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "ports/CPlotPort.h"
#include "vplotter/VirtualPlotter.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

void pacedThroughput(benchmark::State& state)
{
    const auto baud = static_cast<unsigned>(state.range(0));
    // Five seconds of the line.
    const std::size_t total = baud / 2;
    const std::string command = "PD12345,6789;\n";
    platform::installHooks(platform::Hooks{});
    for (auto _ : state) {
        VirtualPlotterSettings settings;
        settings.baud = baud;
        settings.penSpeed = 1e9; // keeps up with any line
        VirtualPlotter plotter(settings);
        TempDir folder;
        const std::string ini = folder.file("Port.INI");
        CProfile portIni;
        portIni.setPath(ini.c_str());
        portIni.setString("PortMap", "COM1", plotter.path().c_str());
        portIni.setInt("PortInfo", "TranSpeed", static_cast<int>(baud));
        portIni.setInt("PortInfo", "FlowCtrl", 0);
        CPlotPort port(ini);
        port.SelectPort("COM1");
        port.setHandshake(DeviceHandshake::BufferQuery);
        std::int32_t stopFlag = 1;
        const auto start = std::chrono::steady_clock::now();
        if (port.Open(OutputMethod::Blocks, MessageSteps::Run, &stopFlag) == PortOpenFailed) {
            state.SkipWithError(port.openError().c_str());
            return;
        }
        for (std::size_t sent = 0; sent < total; sent += command.size())
            port.Write(command.c_str());
        port.Close();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        const VirtualPlotterReport report = plotter.report();
        if (report.lost != 0 || !port.writeError().empty())
            state.SkipWithError("the device lost bytes or failed");
        state.counters["line_share"] = static_cast<double>(port.bytesSent()) / (seconds * baud / 10.0);
        state.counters["questions"] = static_cast<double>(report.requests);
    }
}

BENCHMARK(pacedThroughput)->Arg(9600)->Arg(115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
