#include "RunTestSupport.h"

#include "jobs/CommandIds.h"

namespace {

using ::testing::ElementsAre;

class RunCommandsTest : public RunTest {
protected:
    int addLine(const std::string& name) { return addJob(name, plotOfLines({{{0, 10}, {100, 10}}})); }
};

TEST_F(RunCommandsTest, StartPlotsAWaitingOrStandbyJobButNotAFinishedOne)
{
    const int row = addLine("a.plt");
    CPlotJob& job = *list.jobAt(row);
    job.state = CPlotJob::STATE_FINISHED;
    list.select(row);
    run.startOneJob();
    EXPECT_TRUE(view.posted.empty());
    EXPECT_EQ(list.runMode(), RUN_IDLE);

    job.state = CPlotJob::STATE_STANDBY;
    job.copies = 2;
    run.startOneJob();
    EXPECT_THAT(view.posted, ElementsAre(ID_RUN));
    EXPECT_EQ(list.runningJob(), row);
    EXPECT_EQ(list.runMode(), RUN_ONE_JOB);
    handlePosted();

    // Both copies, then back to idle.
    EXPECT_EQ(port.passes.size(), 2u);
    EXPECT_EQ(job.copiesDone, 2);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(list.runningJob(), -1);
}

TEST_F(RunCommandsTest, PagePausePlotsOneCopyOfAnyJobAndKeepsItsMode)
{
    const int row = addLine("a.plt");
    CPlotJob& job = *list.jobAt(row);
    job.state = CPlotJob::STATE_FINISHED;
    job.copies = 3;
    list.select(row);
    run.startWithPagePause();
    EXPECT_EQ(view.beeps, 1);
    handlePosted();

    EXPECT_EQ(port.passes.size(), 1u);
    EXPECT_EQ(job.copiesDone, 0);
    EXPECT_EQ(list.runMode(), RUN_PAGE_PAUSE);
    EXPECT_EQ(list.runningJob(), -1);
}

TEST_F(RunCommandsTest, ModeCommandsDuringACopyDecideWhatFollowsIt)
{
    const int first = addLine("a.plt");
    addLine("b.plt");
    list.jobAt(first)->copies = 2;

    // Pause during the first copy: the job's copies are finished, the next job is not started.
    port.onWrite = [&] { run.pause(); };
    run.startAutomaticSequence();
    handlePosted();
    EXPECT_EQ(list.jobAt(first)->copiesDone, 2);
    EXPECT_EQ(list.jobAt(1)->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(list.runMode(), RUN_PAUSE);

    // From pause, the automatic sequence takes up the next waiting job.
    port.onWrite = nullptr;
    run.startAutomaticSequence();
    EXPECT_EQ(list.runMode(), RUN_AUTOMATIC);
    EXPECT_TRUE(view.posted.empty());
    list.setRunMode(RUN_IDLE);
    run.startAutomaticSequence();
    EXPECT_EQ(list.runningJob(), 1);
    handlePosted();
    EXPECT_EQ(list.jobAt(1)->state, CPlotJob::STATE_FINISHED);
}

TEST_F(RunCommandsTest, EnableRulesFollowTheModeTheSelectionAndTheOutput)
{
    EXPECT_TRUE(run.isCommandEnabled(ID_PLOT_START));
    EXPECT_FALSE(run.isCommandEnabled(ID_JOB_DELETE_ALL));
    EXPECT_FALSE(run.isCommandEnabled(ID_ADD_COPY));
    const int row = addLine("a.plt");
    list.select(row);
    EXPECT_TRUE(run.isCommandEnabled(ID_JOB_DELETE_ALL));
    EXPECT_TRUE(run.isCommandEnabled(ID_REMOVE_COPY));
    list.jobAt(row)->copiesDone = 1;
    EXPECT_FALSE(run.isCommandEnabled(ID_REMOVE_COPY));

    list.setRunMode(RUN_ONE_JOB);
    EXPECT_FALSE(run.isCommandEnabled(ID_PLOT_START));
    EXPECT_TRUE(run.isCommandEnabled(ID_PLOT_AUTOMATIC));
    EXPECT_TRUE(run.isCommandEnabled(ID_OUTPUT_SETTINGS));
    // A copy still in output after a stop keeps the settings dialog away.
    device.stopFlag = 0;
    EXPECT_FALSE(run.isCommandEnabled(ID_OUTPUT_SETTINGS));
}

} // namespace
