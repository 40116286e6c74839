#include "RunTestSupport.h"

#include "jobs/JobTexts.h"
#include "platform/Hooks.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A line on the media's edge is plotted and charged; a copy of which nothing lies on the media fails with
// a message and charges nothing: below its edge or beyond its width (without automatic paging) nothing is
// sent at all; a path whose box touches the media while its line misses it is found out once clipped.
TEST_F(RunTest, ACopyIsPlottedOnlyWhenSomethingOfItLiesOnTheMedia)
{
    struct Case {
        const char* name;
        std::pair<FPoint, FPoint> line;
        const char* sent; // null: the copy fails
        int charged;
        std::size_t passes;
    };
    const Case cases[] = {
        {"along.plt", {{0, 0}, {200, 0}}, "M0,0;D2000,0;", 200, 1},
        {"across.plt", {{0, 0}, {0, 50}}, "M0,0;D0,500;", 0, 1},
        {"below.plt", {{0, -50}, {200, -10}}, nullptr, 0, 0},
        {"beyond.plt", {{0, 2000}, {200, 2100}}, nullptr, 0, 0},
        {"corner.plt", {{-10, 5}, {5, -10}}, nullptr, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t passesBefore = port.passes.size();
        const std::int32_t mediaBefore = settings.REMAINMEDIALENGTH;
        const int row = addJob(c.name, plotOfLines({c.line}));
        plotRow(row);
        const CPlotJob& job = *list.jobAt(row);
        ASSERT_EQ(port.passes.size(), passesBefore + c.passes);
        if (c.sent != nullptr) {
            EXPECT_EQ(job.state, CPlotJob::STATE_FINISHED);
            EXPECT_THAT(port.passes.back(), HasSubstr(c.sent));
        } else {
            EXPECT_EQ(job.state, CPlotJob::STATE_FAILED);
            EXPECT_EQ(job.copiesDone, 0);
            EXPECT_EQ(stateText(job), "图形不在材料上, 没有可绘制的内容!");
        }
        EXPECT_EQ(mediaBefore - settings.REMAINMEDIALENGTH, c.charged);
    }
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

// The job's feed and half cut are the copy's own: the device cuts in stretches and ends each pass as the
// job asks, while the shared settings keep their stored values, which a settings dialog opened during
// the copy shows and saves.
TEST_F(RunTest, AJobsFeedAndHalfCutReachTheDeviceButNotTheSharedSettings)
{
    std::strcpy(device.command(CommandTemplate::FeedCmd), "F%d;");
    cutInfo.AutoFeed = 1;
    cutInfo.HalfCut = 0;
    const int halfCut = addJob("half.plt", plotOfLines({{{10, 10}, {30, 10}}}));
    list.jobAt(halfCut)->options = CPlotJob::OPTION_HALF_CUT;
    std::vector<std::pair<int, int>> shared;
    port.onWrite = [&] { shared.emplace_back(cutInfo.AutoFeed, cutInfo.HalfCut); };
    plotRow(halfCut);
    EXPECT_THAT(port.passes.at(0), HasSubstr("D120,100; M122,100;D142,100;"));
    EXPECT_THAT(port.passes.at(0), Not(HasSubstr("F")));
    ASSERT_FALSE(shared.empty());
    for (const auto& values : shared)
        EXPECT_EQ(values, std::make_pair(1, 0));

    const int fed = addJob("fed.plt", plotOfLines({{{10, 10}, {30, 10}}}));
    list.jobAt(fed)->options = CPlotJob::OPTION_AUTO_FEED;
    plotRow(fed);
    EXPECT_THAT(port.passes.at(1), HasSubstr("D300,100;"));
    EXPECT_THAT(port.passes.at(1), HasSubstr("F"));
}
