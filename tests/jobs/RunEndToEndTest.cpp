#include "JobTestSupport.h"
#include "RunTestSupport.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include "MissingInput.h"
#include "jobs/CIntake.h"
#include "jobs/CManualJobList.h"
#include "jobs/JobTexts.h"
#include "jobs/PlotJournal.h"
#include "output/OutputSettings.h"
#include "platform/CProfile.h"
#include "platform/FileTime.h"
#include "platform/ProgramFolder.h"

#include <filesystem>
#include <gmock/gmock.h>

namespace fs = std::filesystem;

namespace {

using ::testing::EndsWith;
using ::testing::StartsWith;

// A frame 100 mm long and 50 mm wide, in plotter units of 0.025 mm.
const std::string FRAME = "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;";

// A later copy of FRAME as the shipped HP-GL pen plotter receives it (the first also selects the pen):
// the pass start, the frame in units of 0.025 mm, the feed position 20 mm beyond its right edge and the
// page advance.
const std::string FRAME_STREAM = "IN;PU0,0;PA;PU;SP1;PU;PU0,0;PU0,0;PD4000,0;PD4000,2000;PD0,2000;PD0,0; "
                                 "PU4800,0;SP0;PG;";

// The run as the program sets it up: the real import filter of the program folder, the shipped device
// profile of the generic edition, a Server.INI of its own and the output into a file.
class RunEndToEndTest : public ::testing::Test {
protected:
    TempDir dir;
    CProfile serverFile;
    CProfile deviceFile;
    ServerSettings settings;
    CCutInfo cutInfo;
    CPlotterDevice device;
    CAutoJobList list{settings};
    CManualJobList manual{settings};
    RecordingView view;
    CPlotRun run{list, settings, cutInfo, device};
    MessageBoxes boxes;
    std::string receive;
    std::string output;

    void SetUp() override
    {
        if (!fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("Import.so has not been built");
        platform::setProgramFolder(MARQUILL_BIN_DIR);
        receive = dir.file("receive");
        fs::create_directory(receive);
        output = dir.file("out.plt");
        serverFile.setPath(dir.file("Server.INI").c_str());
        serverFile.setString("Receive", "AReceivePath", receive.c_str());
        deviceFile.setPath(shippedFile("Plotter.INI").c_str());
        loadOutputSettings(serverFile, deviceFile, settings, cutInfo, device);
        list.setView(&view);
        run.setPortOverride(output);
    }
    void TearDown() override { platform::setProgramFolder(""); }

    // A plot file in the receive folder, written an hour ago.
    std::string drop(const std::string& name, const std::string& content)
    {
        const std::string path = dir.write("receive/" + name, content);
        platform::setFileModifiedTime(path, std::time(nullptr) - 3600);
        return path;
    }

    void poll(CAutoJobList& into)
    {
        // The first scan sees the files, the second, the settle time later, lists them.
        FileSettle::TimePoint steady{};
        CIntake intake(into, manual, serverFile, [&steady] { return steady; });
        intake.pollAutomatic();
        steady += FileSettle::SETTLE_TIME;
        intake.pollAutomatic();
    }

    void runAutomaticSequence()
    {
        run.startAutomaticSequence();
        handlePosted(view, run);
    }
};

TEST_F(RunEndToEndTest, ADroppedFileIsPlottedMarkedAndPaidForInMedia)
{
    const std::string plotFile = drop("frame.plt", FRAME);
    poll(list);
    ASSERT_EQ(list.rowCount(), 1);
    CPlotJob& job = *list.jobAt(0);
    EXPECT_EQ(job.state, CPlotJob::STATE_WAITING);
    job.copies = 2;

    runAutomaticSequence();

    EXPECT_EQ(job.state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(job.copiesDone, 2);
    EXPECT_EQ(std::count(view.progress.begin(), view.progress.end(), "完成"), 2);
    // The second copy goes after the first one in the file.
    const std::string stream = TempDir::read(output);
    EXPECT_THAT(stream, EndsWith(FRAME_STREAM));
    EXPECT_NE(stream.rfind("IN;"), 0u);
    EXPECT_TRUE(platform::hasPlottedMark(plotFile));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 2 * 100);
    EXPECT_TRUE(boxes.texts.empty());

    // After a restart the file is listed as plotted.
    CAutoJobList restarted(settings);
    poll(restarted);
    ASSERT_EQ(restarted.rowCount(), 1);
    EXPECT_EQ(restarted.jobAt(0)->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(copiesText(*restarted.jobAt(0)), "0/0");
}

TEST_F(RunEndToEndTest, ARunEndedBeforeItsFirstCopyLeavesTheFileUnmarked)
{
    const std::string plotFile = drop("frame.plt", FRAME);
    poll(list);
    list.select(0);
    run.startOneJob();
    list.deleteAllJobs();
    runAutomaticSequence();

    EXPECT_FALSE(platform::hasPlottedMark(plotFile));
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(list.jobAt(0)->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(list.runningJob(), -1);
}

TEST_F(RunEndToEndTest, AMissingImportLibraryFailsTheJobAndEndsTheSequence)
{
    platform::setProgramFolder(dir.path().string());
    drop("a.plt", FRAME);
    drop("b.plt", FRAME);
    poll(list);
    ASSERT_EQ(list.rowCount(), 2);

    runAutomaticSequence();

    EXPECT_EQ(list.jobAt(0)->state, CPlotJob::STATE_FAILED);
    EXPECT_EQ(stateText(*list.jobAt(0)), "动态库调动失败 / 没有找到动态库!");
    EXPECT_EQ(list.jobAt(1)->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(RunEndToEndTest, AStopFromTheMessageStepEndsTheCopyAtTheNextWrite)
{
    // Enough lines for several blocks of the file port.
    std::string lines = "IN;SP1;";
    for (int i = 0; i < 10000; ++i)
        lines += "PU0," + std::to_string(i * 4) + ";PD4000," + std::to_string(i * 4) + ";";
    drop("lines.plt", lines);
    poll(list);
    CPlotJob& job = *list.jobAt(0);
    // The second whole copy, which starts with the pen the first one left selected, as the cut copy does.
    job.copies = 2;
    runAutomaticSequence();
    const std::string both = TempDir::read(output);
    const std::string whole = both.substr(both.rfind("IN;"));

    job.state = CPlotJob::STATE_WAITING;
    job.copiesDone = 1;
    int steps = 0;
    platform::Hooks hooks;
    hooks.messageStep = [&] {
        if (++steps == 2)
            run.stop();
    };
    platform::installHooks(hooks);
    runAutomaticSequence();
    const std::string cut = TempDir::read(output);

    EXPECT_LT(cut.size(), whole.size() / 2);
    // The drawing ends where the stop came; the pass still lifts the pen and ends as a whole copy does.
    const std::size_t ending = cut.rfind("PU;PU");
    ASSERT_NE(ending, std::string::npos) << cut;
    EXPECT_EQ(whole.compare(0, ending, cut, 0, ending), 0);
    EXPECT_THAT(cut, EndsWith(";SP0;PG;"));
    EXPECT_EQ(job.state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(job.copiesDone, 1);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(list.runningJob(), -1);
    EXPECT_EQ(device.stopFlag, 1);
}

TEST_F(RunEndToEndTest, APortThatCannotOpenFailsTheJobLeavingFileAndMediaAloneAndEndsTheSequence)
{
    const std::string plotFile = drop("a.plt", FRAME);
    drop("b.plt", FRAME);
    const auto modified = platform::fileModifiedTime(plotFile);
    const std::string missing = dir.file("no-such-folder/out.plt");
    run.setPortOverride(missing);
    poll(list);

    runAutomaticSequence();

    const CPlotJob& job = *list.jobAt(0);
    EXPECT_EQ(job.state, CPlotJob::STATE_FAILED);
    // The port and the system's reason.
    EXPECT_THAT(stateText(job), StartsWith("端口 " + missing + " 无法打开: "));
    EXPECT_GT(stateText(job).size(), ("端口 " + missing + " 无法打开: ").size());
    EXPECT_EQ(platform::fileModifiedTime(plotFile), modified);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(list.jobAt(1)->state, CPlotJob::STATE_WAITING);
}

// A port tried again for a device that stays away is one failed copy in the journal, not one a try; a new
// reason is a failure of its own.
TEST_F(RunEndToEndTest, APortThatStaysClosedIsJournaledOncePerReason)
{
    drop("a.plt", FRAME);
    run.setServerFile(&serverFile);
    run.setPortOverride(dir.file("no-such-folder/out.plt"));
    poll(list);
    for (int attempt = 0; attempt < 3; ++attempt) {
        list.jobAt(0)->state = CPlotJob::STATE_WAITING;
        runAutomaticSequence();
    }
    run.setPortOverride(dir.file("other-missing-folder/out.plt"));
    list.jobAt(0)->state = CPlotJob::STATE_WAITING;
    runAutomaticSequence();

    const std::vector<PlotJournal::CopyRecord> copies = run.journal()->history(0);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].result, PlotJournal::FAILED);
    EXPECT_THAT(copies[0].text, ::testing::HasSubstr("no-such-folder"));
    EXPECT_THAT(copies[1].text, ::testing::HasSubstr("other-missing-folder"));
}

} // namespace
