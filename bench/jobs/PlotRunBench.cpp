// How long a whole copy of the largest real plot file takes, from the file through the import filter,
// the layout and the shipped HP-GL pen plotter's templates into an output file, against only reading
// the file; and a copy of a job already loaded and estimated.

#include "LargestPlotFile.h"
#include "ShippedOutput.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CPlotRun.h"
#include "jobs/CopyEstimate.h"
#include "jobs/JobPlot.h"
#include "ports/PortSettings.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

void BM_ReadPlotFile(benchmark::State& state)
{
    const fs::path file = largestPlotFile(MARQUILL_PLOTS_DIR);
    if (file.empty()) {
        state.SkipWithError("no real plot files");
        return;
    }
    for (auto _ : state) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
    state.SetLabel(file.filename().string());
}
BENCHMARK(BM_ReadPlotFile)->Unit(benchmark::kMicrosecond);

// The largest real plot file; none, with the benchmark skipped, without plots or the import filter.
fs::path plotFileOrSkip(benchmark::State& state)
{
    const fs::path file = largestPlotFile(MARQUILL_PLOTS_DIR);
    if (file.empty() || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so")) {
        state.SkipWithError("no real plot files or no Import.so");
        return {};
    }
    return file;
}

void BM_PlotFileIntoFile(benchmark::State& state)
{
    const fs::path file = plotFileOrSkip(state);
    if (file.empty())
        return;
    ShippedOutput shipped((fs::temp_directory_path() / "marquill-bench-no-Server.INI").string());
    ServerSettings& settings = shipped.settings;
    const std::string output = (fs::temp_directory_path() / "marquill-bench-out.plt").string();
    for (auto _ : state) {
        CAutoJobList list(settings);
        CPlotRun run(list, settings, shipped.cutInfo, shipped.device);
        run.setPortOverride(output);
        run.setMarkPlotted(false);
        list.addJob(file.string(), CPlotJob::create(file.string(), CPlotJob::STATE_WAITING, settings));
        run.startAutomaticSequence();
        run.run();
        if (list.jobAt(0)->state != CPlotJob::STATE_FINISHED) {
            state.SkipWithError("the copy did not finish");
            break;
        }
        settings.REMAINMEDIALENGTH = 150000;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
    state.counters["output_bytes"] = static_cast<double>(fs::file_size(output));
    fs::remove(output);
}
BENCHMARK(BM_PlotFileIntoFile)->Unit(benchmark::kMillisecond);

// The same copy of a job that holds the estimate the information view made for it when it was selected
// (loaded, measured and estimated untimed): the copy's start takes that estimate and sends the file once.
void BM_PlotEstimatedJobIntoFile(benchmark::State& state)
{
    const fs::path file = plotFileOrSkip(state);
    if (file.empty())
        return;
    ShippedOutput shipped((fs::temp_directory_path() / "marquill-bench-no-Server.INI").string());
    ServerSettings& settings = shipped.settings;
    CCutInfo& cutInfo = shipped.cutInfo;
    CPlotterDevice& device = shipped.device;
    const std::string output = (fs::temp_directory_path() / "marquill-bench-out.plt").string();
    for (auto _ : state) {
        state.PauseTiming();
        CAutoJobList list(settings);
        CPlotRun run(list, settings, cutInfo, device);
        run.setPortOverride(output);
        run.setMarkPlotted(false);
        list.addJob(file.string(), CPlotJob::create(file.string(), CPlotJob::STATE_WAITING, settings));
        CPlotJob& job = *list.jobAt(0);
        measureJob(job);
        device.port->SelectPort(output.c_str());
        const bool estimated =
            jobEstimate(job, settings, cutInfo, device, device.port->settings, output).valid;
        state.ResumeTiming();
        run.startAutomaticSequence();
        run.run();
        if (!estimated || job.state != CPlotJob::STATE_FINISHED) {
            state.SkipWithError("the copy was not estimated or did not finish");
            break;
        }
        settings.REMAINMEDIALENGTH = 150000;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
    fs::remove(output);
}
BENCHMARK(BM_PlotEstimatedJobIntoFile)->Unit(benchmark::kMillisecond);

} // namespace
