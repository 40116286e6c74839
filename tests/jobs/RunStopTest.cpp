#include "JobTestSupport.h"
#include "RunTestSupport.h"
#include "TempDir.h"

#include "MissingInput.h"
#include "jobs/JobTexts.h"
#include "platform/CProfile.h"
#include "platform/ProgramFolder.h"

#include <filesystem>
#include <fstream>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// A line 1200 mm long: with the default 500 mm sections and 10 mm overlap it is sent in three sections.
std::unique_ptr<CPlot> longLine() { return plotOfLines({{{0, 10}, {1200, 10}}}); }

// A stopped copy is not counted or charged beyond the sections begun, and its pass is left safe: the pen
// is lifted right after the last line sent and the pass ends with its closing commands.
TEST_F(RunTest, AStoppedCopyIsNeitherCountedNorChargedBeyondTheSectionsBegunAndEndsPenUp)
{
    std::strcpy(device.command(CommandTemplate::PenUp), "U;");
    const int row = addJob("long.plt", longLine());
    CPlotJob& job = *list.jobAt(row);
    job.copies = 2;
    // The stop comes while the second section is sent.
    after(port, "M4900,100;", [this] { run.stop(); });
    plotRow(row);

    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_THAT(port.passes[0], HasSubstr("M4900,100;U;M"));
    EXPECT_THAT(port.passes[0], Not(HasSubstr("D9900,100;")));
    EXPECT_THAT(port.passes[0], ::testing::EndsWith(";; "));
    EXPECT_EQ(job.state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(job.copiesDone, 0);
    EXPECT_EQ(stateText(job), "绘图已终止");
    EXPECT_EQ(view.progress.back(), "绘图已终止");
    // The second section, from 490 to 990 mm, was begun; the third never was.
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 990);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(device.stopFlag, 1);

    // Started again, the job plots both of its copies.
    port.onWrite = nullptr;
    plotRow(row);
    EXPECT_EQ(job.state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(job.copiesDone, 2);
}

TEST_F(RunTest, TheRemainingMediaIsSavedAfterEveryCopyAndAFailedSaveIsReported)
{
    TempDir dir;
    CProfile serverFile;
    serverFile.setPath(dir.file("Server.INI").c_str());
    run.setServerFile(&serverFile);
    const int row = addJob("frame.plt", plotOfLines({{{0, 10}, {100, 10}}}));
    list.jobAt(row)->copies = 3;
    std::vector<int> savedBeforeEachCopy;
    port.onWrite = [&] {
        if (port.passes.back().empty())
            savedBeforeEachCopy.push_back(serverFile.getInt("SYSTEM", "REMAINMEDIALENGTH", -1));
    };
    plotRow(row);
    EXPECT_THAT(savedBeforeEachCopy, ElementsAre(-1, 150000 - 100, 150000 - 200));
    EXPECT_EQ(serverFile.getInt("SYSTEM", "REMAINMEDIALENGTH", -1), 150000 - 300);

    // A settings file in a folder that does not exist cannot be written, nor can the journal beside it:
    // each said once, not on every copy, and the copies are plotted all the same.
    MessageBoxes boxes;
    CProfile unwritable;
    unwritable.setPath(dir.file("missing/Server.INI").c_str());
    run.setServerFile(&unwritable);
    const int again = addJob("again.plt", plotOfLines({{{0, 10}, {100, 10}}}));
    list.jobAt(again)->copies = 2;
    plotRow(again);
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_THAT(boxes.texts[0], HasSubstr(dir.file("missing/Journal.db")));
    EXPECT_THAT(boxes.texts[1], HasSubstr(dir.file("missing/Server.INI")));
    EXPECT_EQ(list.jobAt(again)->copiesDone, 2);
}

} // namespace

namespace {

// A run killed after the journal charged a section and before Server.INI held it: the next run started on
// the folder completes the count; a file that has had a new roll since keeps the new roll.
TEST_F(RunTest, ARollCountChargedInTheJournalButNotSavedIsCompletedAtTheNextStart)
{
    TempDir dir;
    CProfile serverFile;
    serverFile.setPath(dir.file("Server.INI").c_str());
    serverFile.setInt("SYSTEM", "REMAINMEDIALENGTH", 1000);
    const auto owe = [&](std::int64_t before, std::int64_t after) {
        PlotJournal journal(dir.path().string());
        const std::int64_t copy = journal.beginCopy(journal.addDelivery("a.plt", "a.plt", {}), 1, 1);
        journal.sectionCharged(copy, before - after, after);
        ASSERT_TRUE(journal.unsavedRoll().has_value());
    };
    owe(1000, 900);
    settings.REMAINMEDIALENGTH = 1000;
    run.setServerFile(&serverFile);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 900);
    EXPECT_EQ(serverFile.getInt("SYSTEM", "REMAINMEDIALENGTH", -1), 900);
    EXPECT_FALSE(run.journal()->unsavedRoll().has_value());
    run.setServerFile(nullptr);

    owe(900, 800);
    serverFile.setInt("SYSTEM", "REMAINMEDIALENGTH", 50000);
    settings.REMAINMEDIALENGTH = 50000;
    run.setServerFile(&serverFile);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 50000);
    EXPECT_EQ(serverFile.getInt("SYSTEM", "REMAINMEDIALENGTH", -1), 50000);
    EXPECT_FALSE(run.journal()->unsavedRoll().has_value());
}

// One copy more, added while the job's last copy goes out, plots the drawing the copies before it plotted,
// not the file as it has been written since.
TEST_F(RunTest, ACopyAddedDuringTheLastCopyPlotsTheSameDrawing)
{
    if (!std::filesystem::exists(std::filesystem::path(MARQUILL_BIN_DIR) / "Import.so"))
        SKIP_WITHOUT_INPUT("Import.so has not been built");
    platform::setProgramFolder(MARQUILL_BIN_DIR);
    TempDir dir;
    const std::string path = dir.write("frame.plt", "IN;SP1;PU0,0;PD4000,0;");
    const int row = list.addJob(path, CPlotJob::create(path, CPlotJob::STATE_WAITING, settings));
    after(port, "D", [&] {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << "IN;SP1;PU0,0;PD0,4000;";
        list.select(row);
        list.addCopy();
    });
    plotRow(row);
    platform::setProgramFolder("");
    ASSERT_EQ(port.passes.size(), 2u);
    EXPECT_THAT(port.passes[0], HasSubstr("D1000,0;"));
    EXPECT_THAT(port.passes[1], HasSubstr("D1000,0;"));
    EXPECT_THAT(port.passes[1], Not(HasSubstr("D0,1000;")));
    EXPECT_EQ(list.jobAt(row)->copiesDone, 2);
}

} // namespace
