#include "RunTestSupport.h"

#include "jobs/JobTexts.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string FINISHED = "完成";

std::string region(int from, int to)
{
    return "正在绘制 " + std::to_string(from) + " - " + std::to_string(to) + "mm 区域";
}

class RunLayoutTest : public RunTest {
protected:
    // Plots one copy of the row's job through the one-job start.
    void plotRow(int row)
    {
        list.select(row);
        run.startOneJob();
        handlePosted();
    }
};

TEST_F(RunLayoutTest, SectionsOverlapAlongTheLengthAndTheMediaUsedIsTheLastRightEdge)
{
    const int row = addJob("long.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
    plotRow(row);

    EXPECT_THAT(view.progress, ElementsAre(region(0, 500), region(490, 990), region(980, 1480), FINISHED));
    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_THAT(port.passes[0], HasSubstr("M0,100;D5000,100;"));
    EXPECT_THAT(port.passes[0], HasSubstr("M4900,100;D9900,100;"));
    EXPECT_THAT(port.passes[0], HasSubstr("M9800,100;D12000,100;"));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 1200);
    EXPECT_EQ(view.status, "剩余材料长度:148800 mm");
    const CPlotJob* job = list.jobAt(row);
    EXPECT_EQ(job->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(job->copiesDone, 1);
    EXPECT_EQ(job->plot, nullptr);
}

TEST_F(RunLayoutTest, SectionLimitPlotsOnlyTheFirstSections)
{
    const int row = addJob("long.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
    list.jobAt(row)->sectionLimit = 2;
    plotRow(row);

    EXPECT_THAT(view.progress, ElementsAre(region(0, 500), region(490, 990), FINISHED));
    EXPECT_THAT(port.passes[0], ::testing::Not(HasSubstr("D12000,100;")));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 990);
}

TEST_F(RunLayoutTest, WithoutSectionLengthTheJobIsOneSectionAndTheStartOffsetIsLeftOut)
{
    const int row = addJob("whole.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
    list.jobAt(row)->sectionLength = 0;
    list.jobAt(row)->startOffset = 200;
    plotRow(row);

    // The offset moves the plot left; the texts count from the job's own start.
    EXPECT_THAT(view.progress, ElementsAre(region(200, 1215), FINISHED));
    EXPECT_THAT(port.passes[0], HasSubstr("D10000,100;"));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 1000);
}

TEST_F(RunLayoutTest, AnOverlapAsLongAsTheSectionIsNotUsed)
{
    const int row = addJob("short.plt", plotOfLines({{{0, 10}, {250, 10}}}));
    list.jobAt(row)->sectionLength = 100;
    list.jobAt(row)->overlap = 100;
    plotRow(row);

    EXPECT_THAT(view.progress, ElementsAre(region(0, 100), region(100, 200), region(200, 300), FINISHED));
}

TEST_F(RunLayoutTest, PagingSendsEachBandInItsOwnPassWithSpliceMarks)
{
    settings.PageOut = 1;
    settings.LineMark = 1;
    settings.MediaWidth = 1000;
    const int row = addJob("wide.plt", plotOfLines({{{0, 500}, {300, 500}},
                                                    {{0, 1500}, {600, 1500}},
                                                    {{0, 2500}, {200, 2500}}}));
    plotRow(row);

    // Every band starts at y 0 on the device.
    ASSERT_EQ(port.passes.size(), 3u);
    EXPECT_THAT(port.passes[0], HasSubstr("M0,5000;D3000,5000;"));
    EXPECT_THAT(port.passes[1], HasSubstr("M0,5000;D5000,5000;"));
    EXPECT_THAT(port.passes[1], HasSubstr("M4900,5000;D6000,5000;"));
    EXPECT_THAT(port.passes[2], HasSubstr("M0,5000;D2000,5000;"));
    // Marks on the edges the bands share: the far edge of the first two, the near edge of the last two.
    EXPECT_THAT(port.passes[0], HasSubstr("M0,10000;D500,10000;"));
    EXPECT_THAT(port.passes[0], ::testing::Not(HasSubstr("M0,0;")));
    EXPECT_THAT(port.passes[1], HasSubstr("M0,0;D500,0;"));
    EXPECT_THAT(port.passes[1], HasSubstr("M0,10000;D500,10000;"));
    EXPECT_THAT(port.passes[2], HasSubstr("M0,0;D500,0;"));
    EXPECT_THAT(port.passes[2], ::testing::Not(HasSubstr(",10000;")));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 300 - 600 - 200);
}

TEST_F(RunLayoutTest, WithoutPagingOnlyTheFirstBandIsSent)
{
    settings.MediaWidth = 1000;
    const int row = addJob("wide.plt", plotOfLines({{{0, 500}, {300, 500}}, {{0, 1500}, {600, 1500}}}));
    plotRow(row);

    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_THAT(port.passes[0], ::testing::Not(HasSubstr("D6000")));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 300);
}

TEST_F(RunLayoutTest, AStopDuringAPassEndsTheCopyWithoutTheNextBand)
{
    settings.PageOut = 1;
    settings.MediaWidth = 1000;
    const int row = addJob("wide.plt", plotOfLines({{{0, 500}, {300, 500}}, {{0, 1500}, {600, 1500}}}));
    int writes = 0;
    port.onWrite = [&] {
        if (++writes == 2)
            run.stop();
    };
    list.select(row);
    run.startAutomaticSequence();
    handlePosted();

    EXPECT_EQ(port.passes.size(), 1u);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(list.runningJob(), -1);
    EXPECT_EQ(device.stopFlag, 1);
    // A stopped copy still counts as output, but not as a copy done.
    const CPlotJob* job = list.jobAt(row);
    EXPECT_EQ(job->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(job->copiesDone, 0);
}

TEST_F(RunLayoutTest, MediaForATurnedJobIsItsWidthPerSectionWithPageGaps)
{
    // 1201 mm long and 301 mm wide: sections reach 500, 990 and 1480 mm, so three widths and two gaps.
    const int row = addJob("turned.plt", plotOfLines({{{0, 0}, {1200, 300}}}));
    CPlotJob& job = *list.jobAt(row);
    job.options |= CPlotJob::OPTION_ROTATE;
    job.plot->bake();
    settings.REMAINMEDIALENGTH = 3 * 301 + 2 * 20;
    EXPECT_TRUE(run.enoughMedia(job));
    settings.REMAINMEDIALENGTH -= 1;
    EXPECT_FALSE(run.enoughMedia(job));

    // Not turned: the length plus 2, or the limited sections plus 1.
    job.options &= ~CPlotJob::OPTION_ROTATE;
    settings.REMAINMEDIALENGTH = 1202;
    EXPECT_TRUE(run.enoughMedia(job));
    settings.REMAINMEDIALENGTH = 1201;
    EXPECT_FALSE(run.enoughMedia(job));
    job.sectionLimit = 2;
    settings.REMAINMEDIALENGTH = 1001;
    EXPECT_TRUE(run.enoughMedia(job));
    // A limit whose sections would overflow 32 bits still asks for the whole length.
    job.sectionLimit = 0x80000000u;
    EXPECT_FALSE(run.enoughMedia(job));
}

TEST_F(RunLayoutTest, AJobTooLongForTheMediaWaitsInStandbyAndTheSequenceGoesOn)
{
    settings.REMAINMEDIALENGTH = 1000;
    const int tooLong = addJob("long.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
    const int fits = addJob("short.plt", plotOfLines({{{0, 10}, {500, 10}}}));
    run.startAutomaticSequence();
    handlePosted();

    const CPlotJob* refused = list.jobAt(tooLong);
    EXPECT_EQ(refused->state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(stateText(*refused), "没有足够的材料进行绘图工作！");
    EXPECT_EQ(refused->copiesDone, 0);
    EXPECT_EQ(list.jobAt(fits)->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 500);
    EXPECT_EQ(list.runMode(), RUN_AUTOMATIC);
    EXPECT_EQ(list.runningJob(), -1);
}

TEST_F(RunLayoutTest, APortThatCannotOpenFailsTheJobAndEndsTheSequence)
{
    port.refuse = true;
    const int first = addJob("first.plt", plotOfLines({{{0, 10}, {500, 10}}}));
    const int second = addJob("second.plt", plotOfLines({{{0, 10}, {500, 10}}}));
    run.startAutomaticSequence();
    handlePosted();

    const CPlotJob* failed = list.jobAt(first);
    EXPECT_EQ(failed->state, CPlotJob::STATE_FAILED);
    EXPECT_EQ(failed->messageId, RESULT_PORT_OPEN_FAILED);
    EXPECT_THAT(stateText(*failed), HasSubstr("COM2"));
    EXPECT_EQ(failed->copiesDone, 0);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000);
    EXPECT_EQ(list.runMode(), RUN_IDLE);
    EXPECT_EQ(list.jobAt(second)->state, CPlotJob::STATE_WAITING);
    EXPECT_EQ(device.stopFlag, 1);
}

} // namespace
