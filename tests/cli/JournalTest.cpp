#include "platform/FileTime.h"

#include "ServerHomeTest.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// marquill-server and marquill-plot on a home folder of their own, as the journal sees them (see
// ServerHomeTest), under the time zone a test sets.
class JournalTest : public ServerHomeTest {
protected:
    std::string zone;

    JournalTest()
    {
        logTimeout = 30s;
        logPoll = 5ms;
    }
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        zone = tz != nullptr ? tz : "";
        ServerHomeTest::SetUp();
    }
    void TearDown() override
    {
        ServerHomeTest::TearDown();
        setZone(zone);
    }

    static void setZone(const std::string& name)
    {
        if (name.empty())
            ::unsetenv("TZ");
        else
            ::setenv("TZ", name.c_str(), 1);
        ::tzset();
    }
};

// The server ended after the copy was sent and before the file got its mark, or a time zone that moves
// the mark off midnight: the journal knows the file was plotted, and it is not plotted again.
TEST_F(JournalTest, AFileTheJournalRecordsAsPlottedIsNotPlottedAgainWithoutItsMark)
{
    const std::string job = deliver("job.plt", realFile("arcs.hp"));
    const auto delivered = fs::last_write_time(job);
    ASSERT_EQ(serveOnce("first.txt"), 0) << log("first.txt");
    ASSERT_TRUE(platform::hasPlottedMark(job));
    const std::string afterCopy = serverIni();
    ASSERT_THAT(afterCopy, Not(HasSubstr("REMAINMEDIALENGTH=100000")));
    fs::remove(home.file("Output/job.out"));

    // As a kill between the copy and the mark leaves it.
    fs::last_write_time(job, delivered);
    ASSERT_EQ(serveOnce("again.txt"), 0) << log("again.txt");
    EXPECT_THAT(log("again.txt"), HasSubstr("the journal records this file as plotted: " + job));
    EXPECT_THAT(log("again.txt"), Not(HasSubstr("started: " + job)));
    EXPECT_FALSE(fs::exists(home.file("Output/job.out")));
    EXPECT_EQ(serverIni(), afterCopy);
    EXPECT_TRUE(platform::hasPlottedMark(job));

    // Marked under one zone, read under another whose midnight lies elsewhere.
    setZone("UTC");
    const std::string other = deliver("other.plt", realFile("foal.hpgl"));
    ASSERT_EQ(serveOnce("utc.txt"), 0) << log("utc.txt");
    ASSERT_TRUE(platform::hasPlottedMark(other));
    const std::string afterUtc = serverIni();
    setZone("CET-1CEST,M3.5.0,M10.5.0/3");
    ASSERT_FALSE(platform::hasPlottedMark(other));
    ASSERT_EQ(serveOnce("berlin.txt"), 0) << log("berlin.txt");
    EXPECT_THAT(log("berlin.txt"), Not(HasSubstr("started: " + other)));
    EXPECT_EQ(serverIni(), afterUtc);
}

// A file copied in with its times kept (midnight) is listed as plotted, as the mark says, but the clean-up
// leaves it: the journal never recorded it plotted. A file the journal records is deleted.
TEST_F(JournalTest, TheCleanUpDeletesOnlyWhatTheJournalRecordsAsPlotted)
{
    ini.autoDeleType = 1;
    writeServerIni();
    const std::string copied = deliver("copied.plt", realFile("arcs.hp"));
    platform::setFileModifiedTime(copied, platform::localMidnight(std::time(nullptr) - 86400));
    const std::string plotted = deliver("plotted.plt", realFile("foal.hpgl"));
    ASSERT_EQ(serveOnce("once.txt"), 0) << log("once.txt");
    EXPECT_THAT(log("once.txt"), HasSubstr("already plotted: " + copied));
    EXPECT_TRUE(fs::exists(copied)) << log("once.txt");
    EXPECT_FALSE(fs::exists(plotted)) << log("once.txt");
    EXPECT_THAT(history({}), HasSubstr("plotted.plt"));
}

// A drawing exported again under the same name right after its copy is a new delivery and is plotted.
TEST_F(JournalTest, AFileWrittenAnewRightAfterItsCopyIsPlottedAgain)
{
    const std::string job = deliver("job.plt", realFile("arcs.hp"));
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("marked plotted: " + job)) << log();
    std::ofstream(job, std::ios::binary | std::ios::trunc) << realFile("foal.hpgl");
    EXPECT_TRUE(waitForLog("marked plotted: " + job, 2, {}, 20ms)) << log();
    stop(server);
    EXPECT_EQ(count(log(), "finished: " + job), 2) << log();
}

// The history reads back what marquill-plot plotted: one line per copy with its media and result, as a
// table or as comma-separated values, from a date on.
TEST_F(JournalTest, TheHistoryListsEveryCopyWithItsMediaAndResult)
{
    const std::string plot = home.write("frame.plt", "IN;PU0,0;PD4000,0,4000,2000;");
    ASSERT_EQ(runPlotTool({"--copies", "2", "--port", home.file("frame.out"), plot}, "plot.txt"), 0)
        << log("plot.txt");
    ASSERT_EQ(runPlotTool({"--port", "/dev/full", plot}, "full.txt"), 1);

    const std::string csv = history({"--csv"});
    std::vector<std::string> lines;
    std::istringstream stream(csv);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u) << csv;
    EXPECT_EQ(lines[0], "started,ended,file,copy,copies,media_mm,result,text,sha256");
    EXPECT_THAT(lines[1], HasSubstr("," + plot + ",1,2,100,sent,,"));
    EXPECT_THAT(lines[2], HasSubstr("," + plot + ",2,2,100,sent,,"));
    EXPECT_THAT(lines[3], HasSubstr("," + plot + ",1,1,0,failed,"));
    EXPECT_THAT(lines[3], HasSubstr("/dev/full"));
    // The content stamp is the same for all three.
    EXPECT_EQ(lines[1].substr(lines[1].size() - 64), lines[3].substr(lines[3].size() - 64));

    EXPECT_THAT(history({}), HasSubstr("copy 2/2     100 mm  sent      " + plot));
    EXPECT_EQ(history({"--since", "2999-01-01", "--csv"}), lines[0] + "\n");
    history({"--since", "yesterday"}, 2);
}

// A SIGTERM that comes while a large file is still loading ends the server before the copy begins: nothing
// is sent and the roll count is as it was.
TEST_F(JournalTest, AStopWhileALargeFileLoadsSendsNothing)
{
    std::string drawing = "IN;SP1;";
    for (int i = 0; i < 400000; ++i)
        drawing += "PU" + std::to_string(i % 4000) + ",0;PD" + std::to_string(i % 4000) + ",400;";
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    const std::string job = deliver("large.plt", drawing);
    ASSERT_TRUE(waitForLog("job found: " + job, 1, {}, 1ms)) << log();
    kill(server, SIGTERM);
    EXPECT_EQ(finish(server, 30s), 0) << log();
    EXPECT_THAT(log(), Not(HasSubstr("started: " + job)));
    EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH=100000"));
    EXPECT_FALSE(fs::exists(home.file("Output/large.out")));
}

} // namespace
