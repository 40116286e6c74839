#include "RunTestSupport.h"

#include "jobs/JobTexts.h"
#include "platform/Hooks.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(RunTest, ALineOnTheMediasEdgeIsPlotted)
{
    // Along y = 0, as "PD8000,0" draws it, and along x = 0.
    const int along = addJob("along.plt", plotOfLines({{{0, 0}, {200, 0}}}));
    plotRow(along);
    EXPECT_EQ(list.jobAt(along)->state, CPlotJob::STATE_FINISHED);
    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_THAT(port.passes[0], HasSubstr("M0,0;D2000,0;"));
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000 - 200);

    const int across = addJob("across.plt", plotOfLines({{{0, 0}, {0, 50}}}));
    plotRow(across);
    EXPECT_EQ(list.jobAt(across)->state, CPlotJob::STATE_FINISHED);
    ASSERT_EQ(port.passes.size(), 2u);
    EXPECT_THAT(port.passes[1], HasSubstr("M0,0;D0,500;"));
}

TEST_F(RunTest, ACopyWithNothingOnTheMediaFailsSendingAndChargingNothing)
{
    // Wholly below the media's edge, and, without automatic paging, wholly beyond its width.
    const int below = addJob("below.plt", plotOfLines({{{0, -50}, {200, -10}}}));
    const int beyond = addJob("beyond.plt", plotOfLines({{{0, 2000}, {200, 2100}}}));
    for (const int row : {below, beyond}) {
        plotRow(row);
        const CPlotJob& job = *list.jobAt(row);
        EXPECT_EQ(job.state, CPlotJob::STATE_FAILED);
        EXPECT_EQ(job.copiesDone, 0);
        EXPECT_EQ(stateText(job), "图形不在材料上, 没有可绘制的内容!");
    }
    EXPECT_TRUE(port.passes.empty());
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000);

    // A path whose extent touches the media while its line misses it is found out once clipped.
    const int corner = addJob("corner.plt", plotOfLines({{{-10, 5}, {5, -10}}}));
    plotRow(corner);
    EXPECT_EQ(list.jobAt(corner)->state, CPlotJob::STATE_FAILED);
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150000);
}

TEST_F(RunTest, AStopReachesARunOfEmptySections)
{
    // 200 sections, all but the first and the last empty: only the message step can bring the stop in.
    const int row = addJob("far.plt", plotOfLines({{{0, 10}, {1, 10}}, {{99000, 10}, {99001, 10}}}));
    int steps = 0;
    platform::Hooks hooks;
    hooks.messageStep = [&] {
        if (++steps == 5)
            run.stop();
    };
    platform::installHooks(hooks);
    plotRow(row);
    platform::resetHooks();
    ASSERT_EQ(port.passes.size(), 1u);
    EXPECT_THAT(port.passes[0], Not(HasSubstr("D990010,100;")));
    EXPECT_EQ(list.jobAt(row)->state, CPlotJob::STATE_STANDBY);
    EXPECT_LT(steps, 10);
}

TEST_F(RunTest, TheMediaCheckMeasuresTheDrawingAsTheRatiosScaleIt)
{
    settings.REMAINMEDIALENGTH = 150;
    device.RatioX = 2.0f;
    const int row = addJob("doubled.plt", plotOfLines({{{0, 10}, {100, 10}}}));
    plotRow(row);
    EXPECT_EQ(stateText(*list.jobAt(row)), "没有足够的材料进行绘图工作！");
    EXPECT_TRUE(port.passes.empty());
    EXPECT_EQ(settings.REMAINMEDIALENGTH, 150);
}

} // namespace
