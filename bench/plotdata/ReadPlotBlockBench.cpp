#include "plotdata/CPlot.h"
#include "plotdata/PlotBlock.h"
#include "plotdata/PlotBlockWriter.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// About 100 MB: 10,000 paths of 1,111 items, lines and curves.
std::vector<std::uint8_t> largeBlock()
{
    constexpr int paths = 10'000;
    constexpr int items = 1'111;
    std::vector<PathItem> path(items);
    PlotBlockWriter writer(CMatrix{}, FRect{}, 0);
    for (int p = 0; p < paths; ++p) {
        for (int i = 0; i < items - 1; ++i) {
            const std::uint8_t flags = i == 0 ? 0x11 : (i % 4 == 1 || i % 4 == 2 ? 0x00 : 0x01);
            path[i] = PathItem{static_cast<float>(i), static_cast<float>(p), flags};
        }
        path[items - 1] = PathItem{0, 0, PI_END};
        writer.addPath(FRect{0, static_cast<float>(p), items, static_cast<float>(p)}, 0, p % 8, path.data(),
                       items);
    }
    return writer.finish();
}

void BM_ReadPlotBlock(benchmark::State& state)
{
    const std::vector<std::uint8_t> block = largeBlock();
    for (auto _ : state) {
        std::unique_ptr<CPlot> plot = readPlotBlock(block.data(), block.size());
        benchmark::DoNotOptimize(plot.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(block.size()));
}

} // namespace

BENCHMARK(BM_ReadPlotBlock)->Unit(benchmark::kMillisecond)->UseRealTime();
