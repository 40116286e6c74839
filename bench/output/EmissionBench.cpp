#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"

#include "BenchPlot.h"
#include "geometry/CMatrix.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr int kSegments = 1000000;

// Takes every command string and only counts its bytes.
class NullPort : public CPlotPort {
public:
    NullPort() : CPlotPort("/nonexistent/Port.INI") {}
    PortOpenResult Open(OutputMethod, MessageSteps, std::int32_t* stopFlag) override
    {
        *stopFlag = 0;
        return PortOpened;
    }
    std::int32_t Write(const char* text) override
    {
        bytes += std::strlen(text);
        return 1;
    }
    void Close() override {}

    std::size_t bytes = 0;
};

// Sends the one-million-segment plot, in device units, through HP-GL templates; with knifeCorrection
// the program shifts every point for a 0.3 mm knife.
void emitBenchPlot(benchmark::State& state, bool knifeCorrection)
{
    auto plot = makeBenchPlot(kSegments);
    plot->applyTransform(CMatrix::Scale(40.0f, 40.0f));
    plot->bake();

    NullPort port;
    CPlotterDevice device;
    device.setOutputPort(&port);
    std::strcpy(device.command(CommandTemplate::MoveTo), "PU%d,%d;");
    std::strcpy(device.command(CommandTemplate::LineTo), "PD%d,%d;");
    std::strcpy(device.command(CommandTemplate::LineToEx), "PD%d,%d;");
    device.MaxPen = 3;
    if (knifeCorrection) {
        device.HardOffset = 0;
        for (int pen = 0; pen <= 3; ++pen)
            device.penOffsets[pen] = 0.3f;
    }
    CCutInfo settings;

    for (auto _ : state) {
        device.beginPass(MessageSteps::Skip, settings);
        device.emitPlot(*plot);
        device.endPass(PassEnd::Feed);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSegments);
    state.SetBytesProcessed(static_cast<int64_t>(port.bytes));
}

void BM_EmitPlot(benchmark::State& state) { emitBenchPlot(state, false); }
BENCHMARK(BM_EmitPlot)->Unit(benchmark::kMillisecond);

void BM_EmitPlotKnifeCorrected(benchmark::State& state) { emitBenchPlot(state, true); }
BENCHMARK(BM_EmitPlotKnifeCorrected)->Unit(benchmark::kMillisecond);

} // namespace
