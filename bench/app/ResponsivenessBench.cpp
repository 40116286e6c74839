// How the window answers while a copy is written, and what drawing a long queue costs.
//
// BM_PostedEventWaitAt9600Baud writes a 1 MB job one byte per call through a pseudo-terminal whose reader
// takes 960 bytes a second (9,600 baud), with the window's throttled message step. Another thread posts an
// event to the window every 20 ms; the counters give the longest and the mean time an event waited to be
// handled. At that rate the whole megabyte would take 18 minutes, so the copy is stopped after 5 seconds,
// as the stop command would; the wait does not depend on how far the copy got.
// BM_BytePerCallWithMessageStep1MB is the same megabyte to a reader as fast as it can be, to show that the
// message step does not slow a fast line. BM_RepaintAutomaticList10000 paints the visible part of a list of
// 10,000 rows, scrolled to its middle.

#include "app/QtHooks.h"
#include "jobs/CAutoJobList.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "ports/CPlotPort.h"
#include "ui/models/CJobListModel.h"
#include "ui/views/CAutoChildView.h"

#include "PseudoTerminal.h"
#include "PtyReader.h"
#include "TempDir.h"

#include <QApplication>
#include <QImage>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kOneMegabyte = 1u << 20;

// A port on the slave side of the pseudo-terminal, as COM1 at 9,600 baud, with the window's hooks
// installed for the life of the object.
struct SerialRig {
    PseudoTerminal line;
    TempDir folder;
    std::string ini = folder.file("Port.INI");

    SerialRig()
    {
        CProfile portIni;
        portIni.setPath(ini.c_str());
        portIni.setString("PortMap", "COM1", line.slavePath().c_str());
        portIni.setInt("PortInfo", "TranSpeed", 9600);
        app::installQtHooks();
    }
    ~SerialRig() { platform::resetHooks(); }

    // False, with the benchmark skipped, when no pseudo-terminal could be opened.
    bool ready(benchmark::State& state) const
    {
        if (!line.ok())
            state.SkipWithError("no pseudo-terminal");
        return line.ok();
    }
};

// Writes the job as 16-byte commands, one byte per call; false when the port refused (or was stopped).
bool writeJob(CPlotPort& port, std::size_t total)
{
    const std::string text = "PD12345,678901;\n";
    for (std::size_t sent = 0; sent < total; sent += text.size()) {
        if (port.Write(text.c_str()) != 1)
            return false;
    }
    return true;
}

void BM_PostedEventWaitAt9600Baud(benchmark::State& state)
{
    SerialRig rig;
    if (!rig.ready(state))
        return;
    double longestMs = 0;
    double totalMs = 0;
    int handled = 0;
    for (auto _ : state) {
        PtyReader reader(rig.line.master(), 960);
        CPlotPort port(rig.ini);
        port.SelectPort("COM1");
        std::int32_t stop = 1;
        port.Open(OutputMethod::ByteByByte, MessageSteps::Run, &stop);
        QObject receiver;
        std::atomic<bool> posting{true};
        std::thread poster([&] {
            while (posting) {
                const auto posted = Clock::now();
                QMetaObject::invokeMethod(
                    &receiver,
                    [&, posted] {
                        const double waited =
                            std::chrono::duration<double, std::milli>(Clock::now() - posted).count();
                        longestMs = std::max(longestMs, waited);
                        totalMs += waited;
                        ++handled;
                    },
                    Qt::QueuedConnection);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        // The stop command, five seconds into the copy.
        QTimer::singleShot(5000, &receiver, [&stop] { stop = 1; });
        writeJob(port, kOneMegabyte);
        port.Close();
        posting = false;
        poster.join();
        QCoreApplication::processEvents();
    }
    state.counters["longest_wait_ms"] = longestMs;
    state.counters["mean_wait_ms"] = handled > 0 ? totalMs / handled : 0;
    state.counters["events"] = handled;
}
BENCHMARK(BM_PostedEventWaitAt9600Baud)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_BytePerCallWithMessageStep1MB(benchmark::State& state)
{
    SerialRig rig;
    if (!rig.ready(state))
        return;
    {
        PtyReader reader(rig.line.master(), 0);
        CPlotPort port(rig.ini);
        port.SelectPort("COM1");
        std::int32_t stop = 1;
        for (auto _ : state) {
            port.Open(OutputMethod::ByteByByte, MessageSteps::Run, &stop);
            if (!writeJob(port, kOneMegabyte))
                state.SkipWithError("write failed");
            port.Close();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kOneMegabyte));
}
BENCHMARK(BM_BytePerCallWithMessageStep1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RepaintAutomaticList10000(benchmark::State& state)
{
    TempDir folder;
    ServerSettings settings;
    CAutoJobList list(settings);
    CJobListModel model(list, settings, CJobListModel::automaticColumns());
    CAutoChildView view(list, model);
    for (int i = 0; i < 10000; ++i)
        list.addJob(folder.file("job-" + std::to_string(i) + ".plt"));
    list.setRunningJob(5);
    list.setRunMode(4);
    view.resize(800, 600);
    view.show();
    view.scrollTo(model.index(5000, 0));
    // On the offscreen platform a repaint() of the shown window never reaches the paint event (it timed
    // nothing), so the viewport renders into an image of its own size, through the same row drawing.
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = list.rowCount();
}
BENCHMARK(BM_RepaintAutomaticList10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
