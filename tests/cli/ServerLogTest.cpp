// What marquill-server's log says of deletions, file names with control characters, the port after a
// reload and a roll count that cannot be saved.

#include "ServerHomeTest.h"

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

const std::string FRAME = "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;";

// marquill-server on a home of its own (see ServerHomeTest) that deletes what it has plotted.
class ServerLogTest : public ServerHomeTest {
protected:
    ServerLogTest()
    {
        readsRealPlots = false;
        ini.autoDeleType = 1;
        logTimeout = 30s;
        logPoll = 5ms;
    }
};

// A name with a newline cannot forge a log line, and the clean-up says what it deleted.
TEST_F(ServerLogTest, DeletionsAreLoggedAndControlCharactersInNamesAreEscaped)
{
    const std::string job = deliver("a\nplotted: b\t.plt", FRAME);
    ASSERT_EQ(finish(start({"--once"}), 30s), 0) << log();
    EXPECT_FALSE(fs::exists(job));
    const std::string shown = home.file("in/a\\nplotted: b\\t.plt");
    EXPECT_THAT(log(), HasSubstr("deleted, plotted and old enough for AutoDeleType 1: " + shown)) << log();
    std::istringstream lines(log());
    for (std::string line; std::getline(lines, line);)
        EXPECT_THAT(line, StartsWith("20")) << log();
}

// --port stays the port in use through a reload, and the log names it.
TEST_F(ServerLogTest, AReloadNamesThePortGivenOnTheCommandLine)
{
    const std::string output = home.file("device.plt");
    const pid_t server = start({"--port", output});
    ASSERT_TRUE(waitForLog("started")) << log();
    kill(server, SIGHUP);
    ASSERT_TRUE(waitForLog("settings reloaded")) << log();
    EXPECT_THAT(log(), HasSubstr("port " + output + ", media left")) << log();
    EXPECT_THAT(log(), Not(HasSubstr("port File")));
    stop(server);
}

// Server.INI cannot be replaced (its temporary names are taken): the failure is said once, not at every
// scan, and the exit says that the count it shows was not saved.
TEST_F(ServerLogTest, ARollCountThatCannotBeSavedIsSaidOnceAndAtExit)
{
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    for (int n = 0; n < 200; ++n)
        fs::create_directory(
            home.file(".Server.INI." + std::to_string(server) + "." + std::to_string(n) + ".tmp"));
    const std::string job = deliver("frame.plt", FRAME);
    ASSERT_TRUE(waitForLog("marked plotted: " + job)) << log();
    // Two scans more.
    deliver("other.plt", FRAME);
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/other.plt"))) << log();
    stop(server);
    const std::string text = log();
    EXPECT_EQ(count(text, "cannot write the media left"), 1) << text;
    EXPECT_THAT(text, HasSubstr("exit: media left 99800 mm, not saved: " + home.file("Server.INI"))) << text;
    EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH=100000"));
}

// A job whose file is gone is taken off the list: the list does not grow with every job ever plotted, and
// a file delivered later under the same name is a new job.
TEST_F(ServerLogTest, AJobWhoseFileIsGoneIsTakenOffTheList)
{
    ini.autoDeleType = 0;
    writeServerIni();
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    const std::string job = deliver("a.plt", FRAME);
    ASSERT_TRUE(waitForLog("marked plotted: " + job)) << log();
    fs::remove(job);
    // The next arrival makes a scan.
    deliver("b.plt", FRAME);
    ASSERT_TRUE(waitForLog("taken off the list, its file is gone: " + job)) << log();
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/b.plt"))) << log();
    deliver("a.plt", "IN;SP1;PU0,0;PD2000,0;");
    EXPECT_TRUE(waitForLog("marked plotted: " + job, 2)) << log();
    stop(server);
    EXPECT_EQ(count(log(), "job found: " + job), 2) << log();
    EXPECT_THAT(log(), Not(HasSubstr("job found again")));
}

} // namespace
