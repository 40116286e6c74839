// marquill-server while a file's copy is going out to a slow serial device (a pseudo-terminal read at a
// limited rate): the file is renamed, or written anew, in the middle of the copy.

#include "PseudoTerminal.h"
#include "PtyReader.h"
#include "ServerHomeTest.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <string>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Lines across 100 mm, about 115 kB: more than the pseudo-terminal buffers, and two to three seconds of
// a device read at 40 kB/s.
std::string lines(int y)
{
    std::string text = "IN;SP1;";
    for (int i = 0; i < 6000; ++i)
        text += "PU0," + std::to_string(y + i % 400) + ";PD4000," + std::to_string(y + i % 400) + ";";
    return text;
}

// marquill-server on a home of its own (see ServerHomeTest) whose COM1 is the pseudo-terminal.
class DuringCopyTest : public ServerHomeTest {
protected:
    PseudoTerminal line;

    DuringCopyTest()
    {
        readsRealPlots = false;
        logTimeout = 30s;
        logPoll = 5ms;
    }
    void SetUp() override
    {
        ServerHomeTest::SetUp();
        if (setUpStopped())
            return;
        ASSERT_TRUE(line.ok());
        home.write("Port.INI", "[PortMap]\nCOM1=" + line.slavePath() + "\n");
    }
};

// Renamed while its copy goes out, the file is found under its new name with the content already sent:
// it is not plotted again, and the old name is no failed job.
TEST_F(DuringCopyTest, AFileRenamedDuringItsCopyIsNotPlottedAgainUnderItsNewName)
{
    PtyReader device(line.master(), 40000);
    const std::string job = deliver("job.plt", lines(0));
    const pid_t server = start({"--port", "COM1"});
    ASSERT_TRUE(waitForLog("copy 1/1 started: " + job)) << log();
    const std::string renamed = home.file("in/renamed.plt");
    fs::rename(job, renamed);
    ASSERT_TRUE(waitForLog("the same content was plotted already, not plotted again: " + renamed)) << log();
    // A later arrival makes one more scan and run.
    deliver("next.plt", lines(1000));
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/next.plt"))) << log();
    stop(server);
    EXPECT_EQ(count(log(), "copy 1/1 started: "), 2) << log();
    EXPECT_THAT(log(), Not(HasSubstr("started: " + renamed)));
    EXPECT_THAT(log(), Not(HasSubstr("job failed")));
    EXPECT_THAT(log(), Not(HasSubstr("written anew")));
}

// Written anew while its copy goes out, the file keeps no mark for the old content: the new drawing is a
// delivery of its own and is plotted after it, and only then marked.
TEST_F(DuringCopyTest, AFileWrittenAnewDuringItsCopyIsPlottedAgainWithItsNewContent)
{
    PtyReader device(line.master(), 40000);
    const std::string job = deliver("job.plt", lines(0));
    const pid_t server = start({"--port", "COM1"});
    ASSERT_TRUE(waitForLog("copy 1/1 started: " + job)) << log();
    std::ofstream(job, std::ios::binary | std::ios::trunc) << lines(1000);
    ASSERT_TRUE(waitForLog("marked plotted: " + job)) << log();
    stop(server);
    EXPECT_EQ(count(log(), "copy 1/1 finished: " + job), 2) << log();
    EXPECT_EQ(count(log(), "marked plotted: " + job), 1) << log();
    EXPECT_LT(log().find("written anew during its copy"), log().find("marked plotted: " + job)) << log();
}

} // namespace
