#include "RunTestSupport.h"
#include "TempDir.h"

#include "jobs/CCommandTable.h"
#include "jobs/CIntake.h"
#include "jobs/CManualJobList.h"
#include "platform/CProfile.h"

#include <gtest/gtest.h>

namespace {

// Records every notification of a list, in order.
class SequenceView : public CJobListView {
public:
    std::vector<std::string> events;

    void rowsAboutToBeInserted(int first, int count) override { add("before insert", first, count); }
    void rowsInserted(int first, int count) override { add("inserted", first, count); }
    void rowsAboutToBeRemoved(int first, int count) override { add("before remove", first, count); }
    void rowsRemoved(int first, int count) override { add("removed", first, count); }

private:
    void add(const char* what, int first, int count)
    {
        events.push_back(std::string(what) + " " + std::to_string(first) + "+" + std::to_string(count));
    }
};

class CommandTableTest : public RunTest {
protected:
    TempDir home;
    CProfile serverFile;
    CManualJobList manual{settings};
    std::unique_ptr<CIntake> intake;
    CCommandTable table;

    void SetUp() override
    {
        RunTest::SetUp();
        serverFile.setPath(home.file("Server.INI").c_str());
        intake = std::make_unique<CIntake>(list, manual, serverFile);
        table = automaticListCommands(list, run, *intake, device);
    }

    // A job whose file exists, so that deleting it succeeds.
    void addFileJob(const std::string& name)
    {
        const std::string path = home.write(name, "IN;");
        auto job = CPlotJob::create(path, CPlotJob::STATE_WAITING, settings);
        list.addJob(path, std::move(job));
    }
};

TEST_F(CommandTableTest, EnableRulesFollowTheRunModeTheSelectionAndTheOutput)
{
    const int row = addJob("a.plt", plotOfLines({{{0, 0}, {10, 10}}}));
    for (int mode = RUN_IDLE; mode <= RUN_AUTOMATIC; ++mode) {
        list.setRunMode(mode);
        SCOPED_TRACE(mode);
        EXPECT_EQ(table.isCommandEnabled(ID_PLOT_START), mode != RUN_ONE_JOB);
        EXPECT_EQ(table.isCommandEnabled(ID_PLOT_START_PAGE_PAUSE), mode != RUN_PAGE_PAUSE);
        EXPECT_EQ(table.isCommandEnabled(ID_PLOT_AUTOMATIC), mode != RUN_AUTOMATIC);
        for (int id : {ID_PLOT_PAUSE, ID_PLOT_STOP, ID_RUN, ID_FIND_PLOT_DATA, ID_CLEAN_TEMPORARY})
            EXPECT_TRUE(table.isCommandEnabled(id)) << id;
    }
    list.setRunMode(RUN_IDLE);

    list.select(-1);
    for (int id : {ID_JOB_DELETE, ID_ADD_COPY, ID_REMOVE_COPY})
        EXPECT_FALSE(table.isCommandEnabled(id)) << id;
    EXPECT_TRUE(table.isCommandEnabled(ID_JOB_DELETE_ALL));
    list.select(row);
    for (int id : {ID_JOB_DELETE, ID_ADD_COPY, ID_REMOVE_COPY})
        EXPECT_TRUE(table.isCommandEnabled(id)) << id;
    list.jobAt(row)->copiesDone = 1;
    EXPECT_FALSE(table.isCommandEnabled(ID_REMOVE_COPY));

    // The dialogs are shown disabled until the window gives them a handler.
    EXPECT_FALSE(table.isCommandEnabled(ID_OUTPUT_SETTINGS));
    EXPECT_FALSE(table.execute(ID_OUTPUT_SETTINGS));
    int opened = 0;
    table.setHandler(ID_OUTPUT_SETTINGS, [&opened] { ++opened; });
    EXPECT_TRUE(table.execute(ID_OUTPUT_SETTINGS));
    EXPECT_EQ(opened, 1);
    device.stopFlag = 0;
    EXPECT_TRUE(device.isOutputting());
    EXPECT_FALSE(table.isCommandEnabled(ID_OUTPUT_SETTINGS));
    device.stopFlag = 1;
    list.setRunningJob(row);
    EXPECT_FALSE(table.isCommandEnabled(ID_OUTPUT_SETTINGS));
    EXPECT_FALSE(table.isCommandEnabled(12345));
}

TEST_F(CommandTableTest, ViewsAreToldBeforeAndAfterEveryInsertAndRemoval)
{
    SequenceView sequence;
    list.setView(&sequence);
    addFileJob("a.plt");
    addFileJob("b.plt");
    addFileJob("c.plt");
    list.select(1);
    table.execute(ID_JOB_DELETE);
    table.execute(ID_JOB_DELETE_ALL);
    EXPECT_EQ(sequence.events, (std::vector<std::string>{
                                   "before insert 0+1", "inserted 0+1", "before insert 1+1", "inserted 1+1",
                                   "before insert 2+1", "inserted 2+1", "before remove 1+1", "removed 1+1",
                                   "before remove 0+1", "removed 0+1", "before remove 0+1", "removed 0+1"}));
    list.setView(&view);
}

// The stop and delete-all commands, as the window and marquill-plot run them, end the copy in output
// whatever the run mode: delete all sets the mode to idle first, and a stop after it must still stop.
TEST_F(CommandTableTest, StopAndDeleteAllStopTheCopyInOutputWhateverTheRunMode)
{
    const std::vector<std::vector<int>> commandsDuringTheCopy = {{ID_JOB_DELETE_ALL, ID_PLOT_STOP},
                                                                 {ID_JOB_DELETE_ALL}};
    for (const std::vector<int>& commands : commandsDuringTheCopy) {
        SCOPED_TRACE(commands.size());
        const int row = addJob("long.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
        after(port, "M0,100;", [&] {
            for (const int id : commands)
                table.execute(id);
        });
        plotRow(row);
        EXPECT_THAT(port.passes.back(), ::testing::Not(::testing::HasSubstr("D9900,100;")));
        ASSERT_EQ(list.rowCount(), 1); // the job in output is kept, then waits in standby
        EXPECT_EQ(list.jobAt(0)->state, CPlotJob::STATE_STANDBY);
        EXPECT_EQ(list.jobAt(0)->copiesDone, 0);
        EXPECT_EQ(device.stopFlag, 1);
        list.deleteAllJobs();
    }
}

// The automatic sequence keeps its mode once its last copy is out, waiting for the next scan; a start
// then begins a run of its own. The copy also measures the job it loaded, so its length column is set.
TEST_F(CommandTableTest, AStartAfterAFinishedSequenceRunsAndTheCopyMeasuresTheJob)
{
    const int row = addJob("frame.plt", plotOfLines({{{0, 0}, {120, 0}}, {{0, 0}, {0, 40}}}));
    EXPECT_TRUE(table.execute(ID_PLOT_AUTOMATIC));
    handlePosted();
    ASSERT_EQ(list.jobAt(row)->copiesDone, 1);
    EXPECT_EQ(list.runMode(), RUN_AUTOMATIC);
    EXPECT_EQ(list.jobAt(row)->length, 120);
    EXPECT_EQ(list.jobAt(row)->width, 40);
    EXPECT_EQ(list.itemText(row, CAutoJobList::COLUMN_LENGTH), "120mm");

    // The finished job gave its plot back; it is loaded again for the next copy.
    list.jobAt(row)->plot = plotOfLines({{{0, 0}, {120, 0}}});
    list.select(row);
    EXPECT_TRUE(table.execute(ID_ADD_COPY));
    EXPECT_TRUE(table.execute(ID_PLOT_START));
    handlePosted();
    EXPECT_EQ(list.jobAt(row)->copiesDone, 2);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(port.passes.size(), 2U);

    // The same after a page-pause copy, whose mode stays as well.
    list.jobAt(row)->plot = plotOfLines({{{0, 0}, {120, 0}}});
    EXPECT_TRUE(table.execute(ID_ADD_COPY));
    EXPECT_TRUE(table.execute(ID_PLOT_START_PAGE_PAUSE));
    handlePosted();
    EXPECT_EQ(list.runMode(), RUN_PAGE_PAUSE);
    EXPECT_EQ(port.passes.size(), 3U);
    const int next = addJob("next.plt", plotOfLines({{{0, 0}, {50, 0}}}));
    EXPECT_TRUE(table.execute(ID_PLOT_AUTOMATIC));
    handlePosted();
    EXPECT_EQ(list.jobAt(next)->copiesDone, 1);
    EXPECT_EQ(port.passes.size(), 4U);
}

} // namespace
