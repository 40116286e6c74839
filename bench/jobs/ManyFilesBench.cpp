// How the time of an automatic sequence grows with the number of jobs in the queue: N small plot files,
// each plotted once through the import filter and the shipped HP-GL pen plotter into one output file. A
// run whose per-copy cost did not depend on the queue's length shows the same time per file at every N.

#include "ShippedOutput.h"
#include "TempDir.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CPlotRun.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

void BM_PlotManyFiles(benchmark::State& state)
{
    if (!fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so")) {
        state.SkipWithError("no Import.so");
        return;
    }
    TempDir dir;
    fs::create_directory(dir.path() / "in");
    const auto files = static_cast<int>(state.range(0));
    for (int i = 0; i < files; ++i)
        dir.write("in/job" + std::to_string(i) + ".plt", "IN;SP1;PU0,0;PD400,0,400,400;");
    ShippedOutput output(dir.file("no-Server.INI"));
    ServerSettings& settings = output.settings;
    double seconds = 0;
    for (auto _ : state) {
        CAutoJobList list(settings);
        for (int i = 0; i < files; ++i) {
            const std::string path = dir.file("in/job" + std::to_string(i) + ".plt");
            list.addJob(path, CPlotJob::create(path, CPlotJob::STATE_WAITING, settings));
        }
        CPlotRun run(list, settings, output.cutInfo, output.device);
        run.setPortOverride(dir.file("out.plt"));
        run.setMarkPlotted(false);
        settings.REMAINMEDIALENGTH = 150000000;
        const auto begun = std::chrono::steady_clock::now();
        run.startAutomaticSequence();
        run.run();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
        if (list.jobAt(files - 1)->state != CPlotJob::STATE_FINISHED) {
            state.SkipWithError("the last job did not finish");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * files);
    state.counters["ms_per_file"] = seconds * 1000 / static_cast<double>(state.iterations() * files);
}
BENCHMARK(BM_PlotManyFiles)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
