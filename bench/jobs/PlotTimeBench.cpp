#include "PlotTimeCheck.h"

#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The real plots through each shipped HP-GL device, a copy each: the time the simulated plotter takes to
// draw the corpus on a 9,600-baud line (and on a 115,200-baud one, where the pen is the bottleneck) (on its
// virtual clock, so the corpus takes seconds to measure, not the better part of an hour), the time the model
// estimates, and the estimate's error per plot, largest and mean. The plain, the coordinate-list (Compact=1)
// and the encoded (Compact=2) forms are the first three devices.

namespace fs = std::filesystem;

namespace {

const char* const kDevices[] = {"HP-GL pen plotter",
                                "HP-GL pen plotter (compact)",
                                "HP-GL/2 plotter (encoded)",
                                "HP-GL pen plotter (buffer query)",
                                "HP-GL cutter (device corrects knife offset)",
                                "HP-GL cutter (Marquill corrects knife offset)"};

const std::vector<std::unique_ptr<CPlot>>& corpus()
{
    static const std::vector<std::unique_ptr<CPlot>> plots = [] {
        std::vector<std::unique_ptr<CPlot>> loaded;
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(MARQUILL_PLOTS_DIR))
            if (entry.path().extension() != ".md")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::unique_ptr<CPlot> plot;
            if (loadPlot(plot, file.string(), MARQUILL_BIN_DIR "/Import.so") == RESULT_OK && plot)
                loaded.push_back(std::move(plot));
        }
        return loaded;
    }();
    return plots;
}

void corpusPlotTime(benchmark::State& state)
{
    CProfile profile;
    profile.setPath(MARQUILL_SOURCE_DIR "/res/config/Plotter_Eng.INI");
    const char* device = kDevices[state.range(0)];
    const auto baud = static_cast<unsigned>(state.range(1));
    double simulated = 0;
    double estimated = 0;
    double largestError = 0;
    double errorSum = 0;
    double bytes = 0;
    for (auto _ : state) {
        simulated = estimated = largestError = errorSum = bytes = 0;
        for (const auto& plot : corpus()) {
            const PlotTimeCheck check = checkPlotTime(*plot, profile, device, baud);
            simulated += check.simulated;
            estimated += check.estimated;
            largestError = std::max(largestError, check.error());
            errorSum += check.error();
            bytes += static_cast<double>(check.bytes);
        }
    }
    const double plots = static_cast<double>(corpus().size());
    state.SetLabel(device);
    state.counters["plots"] = plots;
    state.counters["bytes"] = bytes;
    state.counters["simulated_s"] = simulated;
    state.counters["estimated_s"] = estimated;
    state.counters["error_max_pct"] = 100 * largestError;
    state.counters["error_mean_pct"] = plots > 0 ? 100 * errorSum / plots : 0;
}

} // namespace

BENCHMARK(corpusPlotTime)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 5, 1), {9600, 115200}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
