#include "output/SectionExtraction.h"

#include "BenchPlot.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kSegments = 1000000;

// Cuts the whole plot into 500 mm sections overlapping by 10 mm, as a job run does, and sorts each.
void BM_ExtractSections(benchmark::State& state)
{
    const auto plot = makeBenchPlot(kSegments);
    std::size_t items = 0;
    for (int i = 0; i < plot->count(); ++i)
        items += plot->at(i).count();

    for (auto _ : state) {
        int sections = 0;
        for (float x0 = 0.0f; x0 < plot->extent.right; x0 += 490.0f) {
            auto section = extractSection(*plot, x0, 0.0f, x0 + 500.0f, 1800.0f);
            if (section) {
                sortByLeftEdge(*section);
                ++sections;
            }
        }
        benchmark::DoNotOptimize(sections);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSegments);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * items * sizeof(PathItem)));
}
BENCHMARK(BM_ExtractSections)->Unit(benchmark::kMillisecond);

} // namespace
