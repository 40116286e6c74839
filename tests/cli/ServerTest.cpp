#include "platform/FileTime.h"

#include "ChildProcess.h"
#include "MissingInput.h"
#include "PseudoTerminal.h"
#include "ServerHomeTest.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <poll.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// marquill-server on a home folder of its own (see ServerHomeTest).
class ServerTest : public ServerHomeTest {};

TEST_F(ServerTest, AFileWrittenInPiecesIsPlottedOnceWholeAndNeverAgainAfterTheServerIsKilled)
{
    const std::string drawing = realFile("foal.hpgl");
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    // Each piece is appended and the file closed, as a slow copy may do: every close wakes the server,
    // which must still leave the file until it has settled.
    const std::size_t piece = drawing.size() / 3 + 1;
    for (std::size_t at = 0; at < drawing.size(); at += piece) {
        if (at > 0)
            std::this_thread::sleep_for(1500ms);
        std::ofstream(home.file("in/slow.plt"), std::ios::binary | std::ios::app)
            << drawing.substr(at, piece);
    }
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/slow.plt"))) << log();
    // Killed outright after the copy: the roll count is in Server.INI already, and the system has let go of
    // the home folder's lock with the process, so that the next server may start.
    kill(server, SIGKILL);
    finish(server, 10s);
    EXPECT_EQ(count(log(), "started: " + home.file("in/slow.plt")), 1) << log();
    const std::string afterCopy = serverIni();
    EXPECT_THAT(afterCopy, Not(HasSubstr("REMAINMEDIALENGTH=100000")));
    fs::rename(home.file("Output/slow.out"), home.file("slow.out"));

    // A server started again takes the file for plotted and leaves the count alone.
    EXPECT_EQ(finish(start({"--once"}, "again.txt"), 30s), 0) << log("again.txt");
    EXPECT_THAT(log("again.txt"), HasSubstr("already plotted: " + home.file("in/slow.plt")));
    EXPECT_FALSE(fs::exists(home.file("Output/slow.out")));
    EXPECT_EQ(serverIni(), afterCopy);

    // The copy holds the same bytes as marquill-plot makes of the whole file.
    const std::string reference = home.file("reference.out");
    ASSERT_EQ(runPlotTool({"--port", reference, (PLOTS / "foal.hpgl").string()}, "plot.txt"), 0)
        << log("plot.txt");
    EXPECT_EQ(TempDir::read(home.file("slow.out")), TempDir::read(reference));
}

TEST_F(ServerTest, FilesArrivingTogetherAreAllPlottedInNameOrderAndAFailedOneIsNotRetriedUntilRewritten)
{
    // Both lie in the folder when the server looks; an arrival wakes it at once, so files delivered one
    // after the other while it runs would not arrive together.
    deliver("b.plt", realFile("arcs.hp"));
    deliver("a.plt", realFile("foal.hpgl"));
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    // It starts as a plot, so it is listed, but holds no drawing.
    deliver("c.plt", std::string("IN;\x01\x02 no drawing \xff", 19));
    ASSERT_TRUE(waitForLog("job failed: " + home.file("in/c.plt"))) << log();
    const std::string first = log();
    const std::size_t a = first.find("finished: " + home.file("in/a.plt"));
    const std::size_t b = first.find("finished: " + home.file("in/b.plt"));
    ASSERT_NE(a, std::string::npos) << first;
    ASSERT_NE(b, std::string::npos) << first;
    EXPECT_LT(a, b);
    // A copy's start says what it is estimated to take.
    EXPECT_NE(first.find("copy 1/1 started: " + home.file("in/a.plt") + ", about 0:"), std::string::npos)
        << first;
    EXPECT_TRUE(fs::exists(home.file("Output/a.out")));
    EXPECT_TRUE(fs::exists(home.file("Output/b.out")));

    // Later arrivals do not make the failed file fail again.
    deliver("d.plt", realFile("arcs.hp"));
    ASSERT_TRUE(waitForLog("finished: " + home.file("in/d.plt"))) << log();
    EXPECT_EQ(count(log(), "job failed: " + home.file("in/c.plt")), 1) << log();

    // Written anew with a drawing, it is plotted.
    deliver("c.plt", realFile("arcs.hp"));
    ASSERT_TRUE(waitForLog("finished: " + home.file("in/c.plt"))) << log();
    stop(server);
}

TEST_F(ServerTest, OneServerPerHomeHoldsAJobTooLongForTheRollUntilANewRollAndReloadsOnSighup)
{
    // With an empty folder --once ends at once.
    writeServerIni(50);
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_EQ(finish(start({"--once"}, "once.txt"), 10s), 0) << log("once.txt");
    EXPECT_LT(std::chrono::steady_clock::now() - begun, 2s);

    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    EXPECT_EQ(finish(start({"--once"}, "second.txt"), 10s), 3);
    EXPECT_THAT(log("second.txt"), HasSubstr("process id " + std::to_string(server)));

    deliver("long.plt", realFile("foal.hpgl"));
    ASSERT_TRUE(waitForLog("job skipped: " + home.file("in/long.plt"))) << log();
    EXPECT_THAT(log(), Not(HasSubstr("finished")));
    deliver("short.plt", "IN;SP1;PU0,0;PD400,0,400,400;");
    ASSERT_TRUE(waitForLog("finished: " + home.file("in/short.plt"))) << log();
    // The media the copy used is in the file.
    ASSERT_TRUE(waitForLog("media left", 2)) << log();

    // The operator loads a new roll by editing Server.INI; the next scan (at most 10 s later) finds it.
    writeServerIni(100000);
    ASSERT_TRUE(waitForLog("finished: " + home.file("in/long.plt"), 1, 20s)) << log();
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/long.plt"))) << log();
    EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH=99"));
    EXPECT_THAT(serverIni(), Not(HasSubstr("REMAINMEDIALENGTH=100000")));

    // SIGHUP reloads the settings and leaves the server running.
    writeServerIni(777);
    EXPECT_EQ(kill(server, SIGHUP), 0);
    ASSERT_TRUE(waitForLog("settings reloaded")) << log();
    EXPECT_THAT(log(), HasSubstr("media left 777 mm"));
    stop(server, SIGINT);
}

TEST_F(ServerTest, AStalledDeviceIsLoggedOnceAndSigtermThenEndsTheServerSoonWithTheRollCountWritten)
{
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    home.write("Port.INI", "[PortMap]\nCOM1=" + line.slavePath() + "\n");
    std::string lines = "IN;SP1;";
    for (int i = 0; i < 20000; ++i)
        lines += "PU0," + std::to_string(i % 4000) + ";PD4000," + std::to_string(i % 4000) + ";";
    const pid_t server = start({"--port", "COM1"});
    deliver("lines.plt", lines);
    // Nobody reads the line after the first bytes, so the server waits for room in the middle of the copy
    // and, after five seconds, logs once that the device takes nothing.
    pollfd ready = {line.master(), POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 30000), 1) << log();
    EXPECT_TRUE(waitForLog("copy 1/1: 设备不接收数据, 本份已发送 ")) << log();

    const auto signalled = std::chrono::steady_clock::now();
    stop(server);
    // The stopped pass gives a device that takes nothing two seconds to take its closing commands.
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 5s);
    EXPECT_THAT(log(), HasSubstr("exit: media left"));
    EXPECT_EQ(count(log(), "设备不接收数据"), 1) << log();
    EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH="));
    // The stopped copy is not taken for a plotted file: it is plotted again after a restart.
    EXPECT_FALSE(platform::hasPlottedMark(home.file("in/lines.plt")));
}

} // namespace
