#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"

#include "SectionedPass.h"
#include "hpgl/HpglStreamReader.h"
#include "platform/CProfile.h"
#include "plotdata/CPlot.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"
#include "vplotter/PlotterMechanism.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The bytes every shipped device sends for the real plots, per point drawn, and what they take on a
// 9,600-baud line (ten bits a byte). Points are counted once, from the HP-GL pen plotter's stream: the
// vertices of every line it draws. Beside them, the seconds the simulated plotter's pen needs at
// 400 mm/s for that same drawing: a copy takes at least the longer of line and pen, at most both.

namespace fs = std::filesystem;

namespace {

const char* const kProfileFile = MARQUILL_SOURCE_DIR "/res/config/Plotter_Eng.INI";
constexpr const char* kReference = "HP-GL pen plotter";

class CollectingPort : public CPlotPort {
public:
    CollectingPort() : CPlotPort("/nonexistent/Port.INI") {}
    PortOpenResult Open(OutputMethod, MessageSteps, std::int32_t* stopFlag) override
    {
        *stopFlag = 0;
        return PortOpened;
    }
    std::int32_t Write(const char* text) override
    {
        stream += text;
        return 1;
    }
    void Close() override {}

    std::string stream;
};

std::vector<std::unique_ptr<CPlot>> loadCorpus()
{
    std::vector<std::unique_ptr<CPlot>> plots;
    const std::string filter = MARQUILL_BIN_DIR "/Import.so";
    for (const fs::directory_entry& entry : fs::directory_iterator(MARQUILL_PLOTS_DIR)) {
        std::unique_ptr<CPlot> plot;
        if (entry.path().extension() != ".md" && loadPlot(plot, entry.path().string(), filter) == RESULT_OK &&
            plot)
            plots.push_back(std::move(plot));
    }
    return plots;
}

const std::vector<std::unique_ptr<CPlot>>& corpus()
{
    static const std::vector<std::unique_ptr<CPlot>> plots = loadCorpus();
    return plots;
}

std::vector<std::string> deviceNames(const CProfile& profile)
{
    char block[4096];
    profile.getString("CutterDevices", nullptr, block, sizeof block, "");
    std::vector<std::string> names;
    for (const char* p = block; *p != '\0'; p += std::strlen(p) + 1)
        names.emplace_back(p);
    return names;
}

// Every plot of the corpus through the device, one pass each; the bytes sent.
std::string corpusStream(const CProfile& profile, const std::string& name)
{
    CCutInfo cutInfo;
    cutInfo.loadCutInfo(profile);
    std::string all;
    for (const auto& plot : corpus()) {
        CPlotterDevice device;
        device.loadProfile(profile, name.c_str());
        CollectingPort port;
        device.setOutputPort(&port);
        // A job sent whole, as the default section length of 0 sends it.
        sendSectionedPass(*plot, device, cutInfo, 1.0e6f);
        device.setOutputPort(nullptr);
        all += port.stream;
    }
    return all;
}

void bytesPerPoint(benchmark::State& state)
{
    CProfile profile;
    profile.setPath(kProfileFile);
    const std::vector<std::string> names = deviceNames(profile);
    const std::string& name = names.at(static_cast<std::size_t>(state.range(0)));

    static const std::string reference = corpusStream(profile, kReference);
    static const double penSeconds = [] {
        PlotterMechanism mechanism(400.0, "7475A");
        double seconds = 0;
        for (std::string_view rest = reference; !rest.empty();) {
            const PlotterMechanism::Step step = mechanism.step(rest, true);
            seconds += step.seconds;
            rest.remove_prefix(std::max<std::size_t>(step.length, 1));
        }
        return seconds;
    }();
    static const double points = [] {
        double count = 0;
        for (const DrawnLine& line : readDrawing(reference))
            count += static_cast<double>(line.points.size());
        return count;
    }();

    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string stream = corpusStream(profile, name);
        bytes = stream.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetLabel(name);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["points"] = points;
    state.counters["bytes_per_point"] = static_cast<double>(bytes) / points;
    state.counters["of_plain"] = static_cast<double>(bytes) / static_cast<double>(reference.size());
    state.counters["line_s_9600"] = static_cast<double>(bytes) * 10.0 / 9600.0;
    state.counters["pen_s"] = penSeconds;
}

} // namespace

BENCHMARK(bytesPerPoint)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->Iterations(1);
