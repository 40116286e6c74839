// The scan the receive timer runs every 10 seconds on the window's thread: a receive folder whose files
// are all listed already (the steady state of a busy queue), and the first two scans: the one that sees
// the files and the one that lists them all.
#include "jobs/CAutoJobList.h"
#include "jobs/CIntake.h"
#include "jobs/CManualJobList.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class ReceiveFolder {
public:
    explicit ReceiveFolder(int files)
    {
        const std::filesystem::path receive = dir_.path() / "Receive";
        std::filesystem::create_directory(receive);
        for (int i = 0; i < files; ++i)
            std::ofstream(receive / ("Plot" + std::to_string(i) + ".PLT")) << "IN;PU0,0;PD100,100;";
        serverFile_.setPath(dir_.file("Server.INI").c_str());
        serverFile_.setString("Receive", "AReceivePath", receive.c_str());
    }
    const CProfile& serverFile() const { return serverFile_; }

private:
    TempDir dir_;
    CProfile serverFile_;
};

// A clock that moves on by the settle time at every look, so that the second scan lists every file.
FileSettle::Clock leapingClock()
{
    return [now = FileSettle::TimePoint{}]() mutable { return now += FileSettle::SETTLE_TIME; };
}

void BM_ScanOfListedFolder(benchmark::State& state)
{
    ReceiveFolder folder(static_cast<int>(state.range(0)));
    ServerSettings settings;
    CAutoJobList automatic(settings);
    CManualJobList manual(settings);
    CIntake intake(automatic, manual, folder.serverFile(), leapingClock());
    intake.pollAutomatic();
    intake.pollAutomatic();
    for (auto _ : state)
        intake.pollAutomatic();
    state.counters["rows"] = automatic.rowCount();
}
BENCHMARK(BM_ScanOfListedFolder)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_FirstScan(benchmark::State& state)
{
    ReceiveFolder folder(static_cast<int>(state.range(0)));
    ServerSettings settings;
    for (auto _ : state) {
        CAutoJobList automatic(settings);
        CManualJobList manual(settings);
        CIntake intake(automatic, manual, folder.serverFile(), leapingClock());
        intake.pollAutomatic();
        intake.pollAutomatic();
        benchmark::DoNotOptimize(automatic.rowCount());
    }
}
BENCHMARK(BM_FirstScan)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
