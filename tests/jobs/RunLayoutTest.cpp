#include "RunTestSupport.h"

#include "jobs/JobTexts.h"
#include "plotdata/ResultCodes.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

std::string region(int from, int to)
{
    return "正在绘制 " + std::to_string(from) + " - " + std::to_string(to) + "mm 区域";
}

TEST_F(RunTest, SectionsOverlapAlongTheLengthUpToTheSectionLimit)
{
    const int all = addJob("all.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
    plotRow(all);
    EXPECT_THAT(view.progress, ElementsAre(region(0, 500), region(490, 990), region(980, 1480), "完成"));
    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_THAT(port.passes[0], HasSubstr("M0,100;D5000,100; M4900,100;D9900,100; M9800,100;D12000,100;"));
    // The media used is the right edge of the last section that held anything.
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 1200);
    EXPECT_EQ(view.status, "剩余材料长度:148800 mm");
    EXPECT_EQ(list.jobAt(all)->copiesDone, 1);

    view.progress.clear();
    const int two = addJob("two.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
    list.jobAt(two)->sectionLimit = 2;
    plotRow(two);
    EXPECT_THAT(view.progress, ElementsAre(region(0, 500), region(490, 990), "完成"));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 148800 - 990);
}

TEST_F(RunTest, AnOverlapAsLongAsTheSectionIsNotUsed)
{
    const int row = addJob("short.plt", plotOfLines({{{0, 10}, {250, 10}}}));
    list.jobAt(row)->sectionLength = 100;
    list.jobAt(row)->overlap = 100;
    plotRow(row);
    EXPECT_THAT(view.progress, ElementsAre(region(0, 100), region(100, 200), region(200, 300), "完成"));
}

TEST_F(RunTest, PagingSendsEachBandInAPassOfItsOwnWithSpliceMarks)
{
    settings.MediaWidth = 1000;
    settings.LineMark = 1;
    const auto wide = [] { return plotOfLines({{{0, 500}, {300, 500}}, {{0, 2500}, {200, 2500}}}); };
    plotRow(addJob("narrow.plt", wide()));
    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 300);

    settings.PageOut = 1;
    port.passes.clear();
    plotRow(addJob("paged.plt", wide()));
    // Three bands, each starting at y 0 on the device; the middle one holds only the marks of its edges.
    ASSERT_EQ(port.passes.size(), 3u);
    EXPECT_THAT(port.passes[0], HasSubstr("M0,5000;D3000,5000;"));
    EXPECT_THAT(port.passes[0], HasSubstr("M0,10000;D500,10000;"));
    EXPECT_THAT(port.passes[0], Not(HasSubstr("M0,0;")));
    EXPECT_EQ(port.passes[1].find("M0,"), std::string::npos);
    EXPECT_THAT(port.passes[2], HasSubstr("M0,5000;D2000,5000;"));
    EXPECT_THAT(port.passes[2], HasSubstr("M0,0;D500,0;"));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 149700 - 300 - 200);
}

TEST_F(RunTest, MediaRunningOutBeforeTheLastBandLeavesTheJobInStandby)
{
    settings.PageOut = 1;
    settings.MediaWidth = 1000;
    settings.REMAINMEDIALENGTH = 700;
    const int row = addJob("wide.plt", plotOfLines({{{0, 500}, {600, 500}}, {{0, 1500}, {600, 1500}}}));
    plotRow(row);

    EXPECT_EQ(port.passes.size(), 1u);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 100);
    EXPECT_EQ(list.jobAt(row)->state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(list.jobAt(row)->messageId, RESULT_NOT_ENOUGH_MEDIA);
    EXPECT_EQ(list.jobAt(row)->copiesDone, 0);
}

TEST_F(RunTest, AMirroredPlotStaysOnTheMedia)
{
    const int row = addJob("mirrored.plt", plotOfLines({{{0, 10}, {100, 30}}}));
    list.jobAt(row)->options |= CPlotJob::OPTION_MIRROR;
    plotRow(row);
    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_THAT(port.passes[0], HasSubstr("M0,300;D1000,100;"));
}

TEST_F(RunTest, MediaForATurnedJobIsItsWidthPerSectionWithPageGaps)
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

    // Not turned: the length plus 2, or the limited sections plus 1; a limit whose sections overflow 32
    // bits still asks for the whole length.
    job.options &= ~CPlotJob::OPTION_ROTATE;
    settings.REMAINMEDIALENGTH = 1201;
    EXPECT_FALSE(run.enoughMedia(job));
    job.sectionLimit = 2;
    EXPECT_TRUE(run.enoughMedia(job));
    job.sectionLimit = 0x80000000u;
    EXPECT_FALSE(run.enoughMedia(job));
}

TEST_F(RunTest, AJobTooLongForTheMediaWaitsInStandbyAndTheSequenceGoesOn)
{
    settings.REMAINMEDIALENGTH = 1000;
    const int tooLong = addJob("long.plt", plotOfLines({{{0, 10}, {1200, 10}}}));
    const int fits = addJob("short.plt", plotOfLines({{{0, 10}, {500, 10}}}));
    run.startAutomaticSequence();
    handlePosted();

    EXPECT_EQ(list.jobAt(tooLong)->state, CPlotJob::STATE_STANDBY);
    EXPECT_EQ(stateText(*list.jobAt(tooLong)), "没有足够的材料进行绘图工作！");
    EXPECT_EQ(list.jobAt(fits)->state, CPlotJob::STATE_FINISHED);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 500);
    EXPECT_EQ(list.runMode(), RUN_AUTOMATIC);
    EXPECT_EQ(list.runningJob(), -1);
}

TEST_F(RunTest, StartCommandsPlotWhatTheirModeAsks)
{
    const int row = addJob("a.plt", plotOfLines({{{0, 10}, {100, 10}}}));
    CPlotJob& job = *list.jobAt(row);
    job.copies = 3;
    job.state = CPlotJob::STATE_FINISHED;
    list.select(row);
    run.startOneJob();
    EXPECT_TRUE(view.posted.empty());

    // Page pause plots one copy of any job, does not count it, and keeps its mode.
    run.startWithPagePause();
    handlePosted();
    EXPECT_EQ(port.passes.size(), 1u);
    EXPECT_EQ(job.copiesDone, 0);
    EXPECT_EQ(list.runMode(), RUN_PAGE_PAUSE);

    // A pause during a one-job run still finishes the job's copies.
    list.setRunMode(RUN_IDLE);
    job.state = CPlotJob::STATE_STANDBY;
    job.plot = plotOfLines({{{0, 10}, {100, 10}}});
    port.onWrite = [&] { run.pause(); };
    run.startOneJob();
    handlePosted();
    EXPECT_EQ(job.copiesDone, 3);
    EXPECT_EQ(list.runMode(), RUN_PAUSE);
    EXPECT_EQ(list.runningJob(), -1);
}

} // namespace
