#include "MissingInput.h"
#include "RecordingPort.h"
#include "RunTestSupport.h"
#include "SectionedPass.h"
#include "ShippedFiles.h"

#include "jobs/CopyEstimate.h"
#include "output/PlotTimeMeter.h"
#include "platform/CProfile.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"
#include "ports/PortSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Counts what the device tells it.
class CountingObserver final : public EmissionObserver {
public:
    void penTo(bool down, std::int32_t, std::int32_t) override { ++(down ? linesTo : movesTo); }
    void written(std::size_t count, int) override { bytes += count; }

    std::size_t bytes = 0;
    int linesTo = 0;
    int movesTo = 0;
};

// Watching a pass changes no byte of it, through every shipped device, plain and compact, and the
// observer is told every byte.
TEST(EmissionObserver, SeesEveryByteOfEveryShippedDeviceAndChangesNone)
{
    const std::filesystem::path filter = std::filesystem::path(MARQUILL_BIN_DIR) / "Import.so";
    if (!std::filesystem::exists(filter))
        SKIP_WITHOUT_INPUT("no import filter " << filter);
    std::unique_ptr<CPlot> plot;
    ASSERT_EQ(loadPlot(plot, std::string(MARQUILL_PLOTS_DIR) + "/foal.hpgl", filter.string()), RESULT_OK);
    CProfile profile;
    profile.setPath(shippedFile("Plotter_Eng.INI").c_str());
    CCutInfo cutInfo;
    cutInfo.loadCutInfo(profile);
    char names[4096];
    profile.getString("CutterDevices", nullptr, names, sizeof names, "");
    int devices = 0;
    for (const char* name = names; *name != '\0'; name += std::strlen(name) + 1, ++devices) {
        SCOPED_TRACE(name);
        const auto stream = [&](EmissionObserver* observer) {
            CPlotterDevice device;
            device.loadProfile(profile, name);
            RecordingPort port;
            device.setOutputPort(&port);
            device.setEmissionObserver(observer);
            sendSectionedPass(*plot, device, cutInfo);
            return port.stream();
        };
        CountingObserver seen;
        const std::string watched = stream(&seen);
        EXPECT_EQ(watched, stream(nullptr));
        EXPECT_EQ(seen.bytes, watched.size());
        EXPECT_GT(seen.linesTo, 100);
        EXPECT_GT(seen.movesTo, 0);
    }
    EXPECT_EQ(devices, 9);
}

PlotTimeModel modelOf(double downSpeed, double upSpeed, double bytesPerSecond)
{
    PlotTimeModel model;
    model.penDownSpeed = downSpeed;
    model.penUpSpeed = upSpeed;
    model.commandSeconds = 0;
    model.unitsPerMillimetre = 40;
    model.bytesPerSecond = bytesPerSecond;
    model.bufferBytes = 1024;
    return model;
}

// Where the line is the bottleneck the copy takes the line's time, where the pen is it takes the pen's,
// and a lifted pen moves at its own speed; nowhere the sum of both.
TEST(PlotTimeMeter, TakesTheLongerOfLineAndMechanismAndTimesLiftedMovesApart)
{
    PlotTimeMeter lineBound(modelOf(400, 800, 1000));
    for (int i = 0; i < 1000; ++i) {
        lineBound.penTo(true, i % 2, 0); // a fortieth of a millimetre each
        lineBound.written(10, 1);
    }
    EXPECT_NEAR(lineBound.seconds(), 10.0, 0.1);
    EXPECT_NEAR(lineBound.lineSeconds(), 10.0, 0.01);

    PlotTimeMeter penBound(modelOf(400, 800, 1000));
    penBound.penTo(true, 40 * 4000, 0); // 4 m drawn: 10 s
    penBound.written(20, 1);
    penBound.penTo(false, 0, 0); // 4 m lifted: 5 s
    penBound.written(20, 1);
    EXPECT_NEAR(penBound.seconds(), 15.0, 0.1);
    EXPECT_NEAR(penBound.mechanismSeconds(), 15.0, 1e-9);
    EXPECT_EQ(penBound.bytes(), 40u);

    // A long line after a line-bound stretch starts once its bytes are in; the line goes on meanwhile.
    PlotTimeMeter mixed(modelOf(400, 400, 1000));
    for (int i = 0; i < 2000; ++i)
        mixed.written(10, 0);
    mixed.penTo(true, 40 * 4000, 0);
    mixed.written(10, 1);
    EXPECT_NEAR(mixed.seconds(), 30.0, 0.6);
}

TEST(PlotTimeMeter, InstructionsCostTheirTimeAndNoLineMeansNoWait)
{
    PlotTimeModel model = modelOf(400, 400, 0);
    model.commandSeconds = 0.01;
    PlotTimeMeter meter(model);
    for (int i = 0; i < 300; ++i)
        meter.written(100, 1);
    meter.written(3, 0);
    EXPECT_NEAR(meter.seconds(), 3.0, 1e-9);
    // The sender is held only by the buffer: it is a buffer's worth ahead of the mechanism.
    EXPECT_NEAR(meter.lineSeconds(), 3.0 - 0.1, 0.02);
}

TEST(PlotTimeModel, SpeedsComeFromTheProfileAndTheLineFromThePort)
{
    CPlotterDevice device;
    CCutInfo cutInfo;
    cutInfo.PenSpeed = 60;
    device.DefaultSpeed = 40;
    device.highestSpeed = 80;
    device.SetSpeed = 0;
    PortSettings line;
    line.TranSpeed = 9600;

    // No speed command sent: the device's default speed; lifted, its highest.
    PlotTimeModel model = plotTimeModel(device, cutInfo, line, "COM1");
    EXPECT_EQ(model.penDownSpeed, 400.0);
    EXPECT_EQ(model.penUpSpeed, 800.0);
    EXPECT_EQ(model.bytesPerSecond, 960.0);
    EXPECT_EQ(model.unitsPerMillimetre, 1.0 / static_cast<double>(device.RS));

    // The speed command sends the pass's speed, held to the highest.
    device.SetSpeed = 1;
    std::strcpy(device.command(CommandTemplate::SpeedCmd), "VS%d;");
    EXPECT_EQ(plotTimeModel(device, cutInfo, line, "COM1").penDownSpeed, 600.0);
    cutInfo.PenSpeed = 120;
    EXPECT_EQ(plotTimeModel(device, cutInfo, line, "COM1").penDownSpeed, 800.0);

    // Parity and two stop bits make a character 12 bits; a parallel port never holds the device up.
    line.OECheck = 2;
    line.StopBits = 2;
    EXPECT_EQ(plotTimeModel(device, cutInfo, line, "File").bytesPerSecond, 800.0);
    EXPECT_EQ(plotTimeModel(device, cutInfo, line, "LPT1").bytesPerSecond, 0.0);
}

TEST(PlotTimeText, ShowsMinutesAndSecondsAndHoursWhenThereAreAny)
{
    EXPECT_EQ(plotTimeText(0), "0:00");
    EXPECT_EQ(plotTimeText(59.6), "1:00");
    EXPECT_EQ(plotTimeText(3599), "59:59");
    EXPECT_EQ(plotTimeText(3723), "1:02:03");
    EXPECT_EQ(plotTimeText(-5), "0:00");
}

class CopyEstimateTest : public RunTest {
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        std::strcpy(device.command(CommandTemplate::InitCmd), "IN;");
        std::strcpy(device.command(CommandTemplate::SpeedCmd), "VS%d;");
        device.SetSpeed = 1;
        settings.SortPlot = 1;
        view.onProgress = [this](const CopyProgress& p) { progress.push_back(p); };
    }

    std::vector<CopyProgress> progress;
};

// The estimate sends what the copy will send, byte for byte, sections, pens and knife state included,
// and leaves the job and the device as they were; the run then tells the copy's progress from the
// estimate to its end.
TEST_F(CopyEstimateTest, EstimatesTheStreamTheCopySendsAndTheRunTellsItsProgress)
{
    std::vector<std::pair<FPoint, FPoint>> lines;
    for (int i = 0; i < 400; ++i)
        lines.push_back({{static_cast<float>(i * 3), 5.0f}, {static_cast<float>(i * 3 + 2), 300.0f}});
    const int row = addJob("lines.plt", plotOfLines(lines));
    CPlotJob& job = *list.jobAt(row);
    job.sectionLength = 400;
    job.overlap = 20;
    job.copies = 2;
    device.currentPen = 3;
    const PlotTimeModel model = plotTimeModel(device, cutInfo, PortSettings{}, "COM1");

    std::string stream;
    const CopyEstimate estimate = estimateCopy(job, settings, cutInfo, device, model, &stream);
    ASSERT_TRUE(estimate.valid);
    EXPECT_EQ(estimate.bytes, stream.size());
    EXPECT_GE(estimate.seconds, std::max(estimate.lineSeconds, estimate.mechanismSeconds));
    EXPECT_LT(estimate.seconds, estimate.lineSeconds + estimate.mechanismSeconds);
    EXPECT_EQ(jobSeconds(job, estimate), 2 * estimate.seconds);
    EXPECT_EQ(device.currentPen, 3);
    ASSERT_TRUE(job.plot);
    EXPECT_EQ(job.copiesDone, 0);

    plotRow(row);
    ASSERT_EQ(port.passes.size(), 2u);
    EXPECT_EQ(port.passes[0], stream);

    ASSERT_GE(progress.size(), 4u);
    EXPECT_TRUE(progress.front().running);
    EXPECT_EQ(progress.front().bytesSent, 0u);
    EXPECT_EQ(progress.front().copy, 1);
    EXPECT_EQ(progress.front().copies, 2);
    EXPECT_EQ(progress.front().bytesTotal, stream.size());
    EXPECT_DOUBLE_EQ(progress.front().secondsLeft, estimate.seconds);
    for (std::size_t i = 1; i < progress.size(); ++i) {
        if (progress[i].copy != progress[i - 1].copy)
            continue;
        EXPECT_GE(progress[i].bytesSent, progress[i - 1].bytesSent);
        EXPECT_LE(progress[i].secondsLeft, progress[i - 1].secondsLeft);
    }
    EXPECT_FALSE(progress.back().running);
    EXPECT_EQ(progress.back().copy, 2);
    EXPECT_EQ(progress.back().percent(), 100);
    EXPECT_EQ(progress.back().secondsLeft, 0.0);
}

TEST_F(CopyEstimateTest, AJobWithoutPlotOrDrawingOnTheMediaHasNoEstimate)
{
    const int row = addJob("empty.plt", nullptr);
    const PlotTimeModel model = plotTimeModel(device, cutInfo, PortSettings{}, "COM1");
    EXPECT_FALSE(estimateCopy(*list.jobAt(row), settings, cutInfo, device, model).valid);
    const int far = addJob("far.plt", plotOfLines({{{10, 5000}, {20, 5100}}}));
    EXPECT_FALSE(estimateCopy(*list.jobAt(far), settings, cutInfo, device, model).valid);
    // A file without paths is loaded as a plot without paths: nothing to plot, and no crash.
    const int none = addJob("none.plt", std::make_unique<CPlot>());
    EXPECT_FALSE(estimateCopy(*list.jobAt(none), settings, cutInfo, device, model).valid);
}

std::vector<std::pair<FPoint, FPoint>> strokes(int count)
{
    std::vector<std::pair<FPoint, FPoint>> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back({{static_cast<float>(30 + i * 3), 15.0f}, {static_cast<float>(32 + i * 3), 300.0f}});
    return lines;
}

// A copy starts from the estimate the job holds for the same content and settings, made before the run
// moved the plot to the origin, and that estimate is the stream the copy sends.
TEST_F(CopyEstimateTest, ACopyStartsFromTheEstimateTheJobHolds)
{
    settings.AdjustOrg = 1;
    const int row = addJob("lines.plt", plotOfLines(strokes(200)));
    CPlotJob& job = *list.jobAt(row);
    job.stamp.sha256 = std::string(64, 'a');
    device.port->SelectPort(cutInfo.Port);
    const CopyEstimate held =
        jobEstimate(job, settings, cutInfo, device, device.port->settings, cutInfo.Port);
    ASSERT_TRUE(held.valid);
    // Marked, so that the progress shows whether the copy made an estimate of its own.
    job.estimate.seconds = 12345;

    plotRow(row);
    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_EQ(held.bytes, port.passes[0].size());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().secondsTotal, 12345);
    EXPECT_EQ(progress.front().bytesTotal, held.bytes);
}

// The held estimate is made anew when the content changes, though the plot in memory keeps its address,
// path count and extent, and when a device setting changes that the stream depends on; a job whose
// content is not known never keeps one. A pending estimate is made from what it was taken from.
TEST_F(CopyEstimateTest, TheHeldEstimateFollowsWhatItIsMadeFrom)
{
    settings.SortPlot = 0;
    const int row = addJob("lines.plt", plotOfLines(strokes(200)));
    CPlotJob& job = *list.jobAt(row);
    job.stamp.sha256 = std::string(64, 'a');
    const PortSettings line;
    const auto held = [&] { return jobEstimate(job, settings, cutInfo, device, line, "COM1").seconds; };
    const auto fresh = [&] {
        return estimateCopy(job, settings, cutInfo, device, plotTimeModel(device, cutInfo, line, "COM1"))
            .seconds;
    };
    const double first = held();
    EXPECT_EQ(held(), first);
    auto pending = std::make_shared<PendingEstimate>(job, settings, cutInfo, device,
                                                     plotTimeModel(device, cutInfo, line, "COM1"));

    // Loaded anew with other content into the same plot: the far stroke drawn first.
    job.plot->swap(0, 199);
    job.stamp.sha256 = std::string(64, 'b');
    ASSERT_NE(fresh(), first);
    EXPECT_EQ(held(), fresh());
    EXPECT_EQ(pending->run().seconds, first);

    device.RatioX = 2.0f;
    EXPECT_EQ(held(), fresh());
    device.currentPen = 2;
    EXPECT_NE(estimateKey(job, settings, cutInfo, device, line, "COM1"), job.estimateKey);

    job.stamp = {};
    held();
    EXPECT_TRUE(job.estimateKey.empty());
}

} // namespace
