#include "plotdata/CPlot.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kPaths = 10000;
constexpr int kItemsPerPath = 100; // a million items in all

// Paths of lines and curves, as a marker of many small pieces looks after import.
std::unique_ptr<CPlot> millionItemPlot()
{
    auto plot = std::make_unique<CPlot>();
    for (int p = 0; p < kPaths; ++p) {
        auto path = std::make_unique<CPlotPath>();
        const float x0 = float(p % 100) * 30.0f;
        const float y0 = float(p / 100) * 30.0f;
        path->append(PathItem{x0, y0, PI_MOVETO | PI_ANCHOR});
        int items = 1;
        while (items + 4 < kItemsPerPath) {
            const float x = x0 + float(items % 20);
            path->append(PathItem{x, y0 + 5.0f, PI_ANCHOR});
            path->append(PathItem{x + 1.0f, y0 + 12.0f, 0});
            path->append(PathItem{x + 2.0f, y0 - 3.0f, 0});
            path->append(PathItem{x + 3.0f, y0 + 4.0f, PI_ANCHOR});
            items += 4;
        }
        while (items + 1 < kItemsPerPath) {
            path->append(PathItem{x0 + float(items), y0, PI_ANCHOR});
            ++items;
        }
        path->appendRaw(PathItem{0.0f, 0.0f, PI_END});
        plot->add(std::move(path));
    }
    return plot;
}

void BM_BakeMillionItems(benchmark::State& state)
{
    auto plot = millionItemPlot();
    const CMatrix turn = CMatrix::RotationAbout(1500.0f, 1500.0f, 90.0f);
    for (auto _ : state) {
        plot->applyTransform(turn);
        plot->bake();
        benchmark::DoNotOptimize(plot->extent);
    }
    state.SetItemsProcessed(state.iterations() * kPaths * kItemsPerPath);
}
BENCHMARK(BM_BakeMillionItems)->Unit(benchmark::kMillisecond);

void BM_CopyMillionItems(benchmark::State& state)
{
    auto plot = millionItemPlot();
    for (auto _ : state) {
        auto twin = plot->copy();
        benchmark::DoNotOptimize(twin.get());
    }
    state.SetItemsProcessed(state.iterations() * kPaths * kItemsPerPath);
}
BENCHMARK(BM_CopyMillionItems)->Unit(benchmark::kMillisecond);

} // namespace
