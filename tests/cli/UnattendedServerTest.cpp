#include "ChildProcess.h"
#include "MissingInput.h"
#include "PseudoTerminal.h"
#include "PtyReader.h"
#include "ServerHomeTest.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <poll.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// marquill-server left alone with what an unattended shop meets: writers that pause or whose clocks are
// off, a device switched off, settings edited while it runs (see ServerHomeTest for its home).
class UnattendedServerTest : public ServerHomeTest {
protected:
    static void append(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
    }

    // What marquill-plot sends of the whole file into a file port, with the settings of the home, in a
    // home of its own, so that the server's journal never hears of it.
    std::string reference(const std::string& plotFile) const
    {
        const TempDir elsewhere;
        for (const char* name : {"Plotter.INI", "Server.INI"})
            fs::copy_file(home.path() / name, elsewhere.path() / name);
        const std::string out = elsewhere.file("reference.out");
        const std::vector<std::string> plot = {"--home", elsewhere.path().string(), "--port", out, plotFile};
        EXPECT_EQ(finishProgram(startProgram(PLOT_TOOL, plot, elsewhere.file("plot.txt")), 60s), 0)
            << TempDir::read(elsewhere.file("plot.txt"));
        return TempDir::read(out);
    }
};

// Neither the file times nor the wall clock decide when a file is whole: a writer that pauses for 4.6 s, and
// one whose file share's clock is a day ahead of the server's, each have their file plotted once, whole.
TEST_F(UnattendedServerTest, AFileIsPlottedOnceWholeAfterAPauseOrWithTimesFromAnotherClock)
{
    const std::string drawing = realFile("foal.hpgl");
    const std::string paused = home.file("in/paused.plt");
    const std::string skewed = home.file("in/skewed.plt");
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();

    // The first half lands just before a whole second of the clock, so that whole seconds compared would
    // count the pause as more than it is.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::this_thread::sleep_for(1900ms - std::chrono::duration_cast<std::chrono::milliseconds>(now) % 1000ms);
    append(paused, drawing.substr(0, drawing.size() / 2));
    std::this_thread::sleep_for(4600ms);
    append(paused, drawing.substr(drawing.size() / 2));

    ASSERT_TRUE(waitForLog("marked plotted: " + paused)) << log();
    stop(server);

    // Written in pieces 1.5 s apart, every piece stamped with the share's time, a day ahead. (A server of
    // its own, so that its copy starts with the device as a first copy finds it.)
    const pid_t again = start({}, "again.txt");
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (count(log("again.txt"), "started") < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    const std::size_t piece = drawing.size() / 4 + 1;
    for (std::size_t at = 0; at < drawing.size(); at += piece) {
        if (at > 0)
            std::this_thread::sleep_for(1500ms);
        append(skewed, drawing.substr(at, piece));
        fs::last_write_time(skewed, fs::file_time_type::clock::now() + 24h);
    }
    while (count(log("again.txt"), "marked plotted: " + skewed) < 1 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(kill(again, SIGTERM), 0);
    EXPECT_EQ(finish(again, 10s), 0);

    EXPECT_EQ(count(log(), "started: " + paused), 1) << log();
    EXPECT_EQ(count(log("again.txt"), "started: " + skewed), 1) << log("again.txt");
    const std::string whole = reference((PLOTS / "foal.hpgl").string());
    EXPECT_TRUE(TempDir::read(home.file("Output/paused.out")) == whole);
    EXPECT_TRUE(TempDir::read(home.file("Output/skewed.out")) == whole);
}

// A device that is off (its port cannot be opened) or is unplugged during a copy (it hangs up) leaves its
// jobs waiting, with the reason in the log; the server tries the port again at every scan and plots them
// once the device is back, without a restart. --once still ends with 1 for a job left waiting.
TEST_F(UnattendedServerTest, JobsWaitForADeviceThatIsOffOrHangsUpAndArePlottedOnceItIsBack)
{
    // The device node comes and goes as a link to a pseudo-terminal.
    const std::string device = home.file("plotter");
    home.write("Port.INI", "[PortMap]\nCOM1=" + device + "\n");
    const std::string first = home.file("in/first.plt");
    deliver("first.plt", "IN;SP1;PU0,0;PD400,0,400,400;");
    EXPECT_EQ(finish(start({"--port", "COM1", "--once"}, "once.txt"), 30s), 1) << log("once.txt");
    EXPECT_THAT(log("once.txt"), HasSubstr("job waiting for the device, tried again at every scan: " + first +
                                           ": 端口 COM1 无法打开: " + device));
    EXPECT_THAT(log("once.txt"), HasSubstr("not finished: " + first + ": 端口 COM1 无法打开: " + device));

    const pid_t server = start({"--port", "COM1"});
    ASSERT_TRUE(waitForLog("job waiting for the device, tried again at every scan: " + first)) << log();
    {
        PseudoTerminal line;
        ASSERT_TRUE(line.ok());
        const PtyReader reader(line.master());
        fs::create_symlink(line.slavePath(), device);
        ASSERT_TRUE(waitForLog("marked plotted: " + first)) << log();
    }

    // Unplugged in the middle of a copy.
    std::string lines = "IN;SP1;";
    for (int i = 0; i < 20000; ++i)
        lines += "PU0," + std::to_string(i % 4000) + ";PD4000," + std::to_string(i % 4000) + ";";
    const std::string second = home.file("in/lines.plt");
    {
        PseudoTerminal line;
        ASSERT_TRUE(line.ok());
        fs::remove(device);
        fs::create_symlink(line.slavePath(), device);
        deliver("lines.plt", lines);
        pollfd ready = {line.master(), POLLIN, 0};
        ASSERT_EQ(poll(&ready, 1, 30000), 1) << log();
        line.closeMaster();
        ASSERT_TRUE(waitForLog("job waiting for the device, tried again at every scan: " + second)) << log();
    }
    {
        PseudoTerminal line;
        ASSERT_TRUE(line.ok());
        const PtyReader reader(line.master());
        fs::remove(device);
        fs::create_symlink(line.slavePath(), device);
        ASSERT_TRUE(waitForLog("marked plotted: " + second)) << log();
    }
    stop(server);
    EXPECT_THAT(log(), Not(HasSubstr("job failed")));
    // Said once per reason, however many scans tried the port.
    EXPECT_EQ(count(log(), "job waiting for the device, tried again at every scan: " + first), 1) << log();
    EXPECT_EQ(count(log(), "job waiting for the device, tried again at every scan: " + second), 1) << log();
}

// A reload whose [CutInfo] names a device the profile file does not list would plot with no command
// templates at all; it is refused as start-up refuses it, and the device in use stays.
TEST_F(UnattendedServerTest, AReloadNamingAnUnlistedDeviceKeepsTheDeviceInUse)
{
    const std::string plot = home.write("square.plt", "IN;SP1;PU0,0;PD400,0,400,400,0,400,0,0;");
    const std::string whole = reference(plot);
    ASSERT_THAT(whole, HasSubstr("PD"));
    const pid_t server = start({});
    ASSERT_TRUE(waitForLog("started")) << log();

    std::string profile = TempDir::read(home.file("Plotter.INI"));
    const std::size_t name = profile.find("Device=", profile.find("[CutInfo]")) + 7;
    profile.insert(name, "x");
    home.write("Plotter.INI", profile);
    writeServerIni(90000);
    EXPECT_EQ(kill(server, SIGHUP), 0);
    ASSERT_TRUE(waitForLog("settings reloaded")) << log();
    EXPECT_THAT(log(),
                HasSubstr("device not reloaded, device \"xHP-GL 绘图仪\" of [CutInfo] is not listed in "
                          "[CutterDevices] of " +
                          home.file("Plotter.INI") + "; still plotting with device HP-GL 绘图仪"));
    // Server.INI is read all the same.
    EXPECT_THAT(log(), HasSubstr("media left 90000 mm"));

    deliver("square.plt", TempDir::read(plot));
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/square.plt"))) << log();
    stop(server);
    EXPECT_EQ(TempDir::read(home.file("Output/square.out")), whole);
}

// C:\Receive, the receive folder of a Server.INI that names none, lies in the settings home: two servers
// with homes of their own each plot their own folder's files only.
TEST_F(UnattendedServerTest, TheDriveFoldersOfEachSettingsHomeAreItsOwn)
{
    TempDir other;
    for (const TempDir* folder : {&home, &other}) {
        fs::copy_file(shippedFile("Plotter.INI"), folder->path() / "Plotter.INI",
                      fs::copy_options::overwrite_existing);
        folder->write("Server.INI", "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n");
        fs::create_directories(folder->path() / "drive_c" / "Receive");
    }
    home.write("drive_c/Receive/mine.plt", "IN;SP1;PU0,0;PD400,0,400,400;");
    other.write("drive_c/Receive/theirs.plt", "IN;SP1;PU0,0;PD400,0,400,400;");
    const pid_t first = start({"--once"}, "once.txt");
    const pid_t second = start({"--once"}, "once.txt", &other);
    EXPECT_EQ(finish(first, 30s), 0) << log("once.txt");
    EXPECT_EQ(finish(second, 30s), 0) << TempDir::read(other.file("once.txt"));
    EXPECT_TRUE(fs::exists(home.file("Output/mine.out")));
    EXPECT_FALSE(fs::exists(home.file("Output/theirs.out")));
    EXPECT_TRUE(fs::exists(other.file("Output/theirs.out")));
    EXPECT_FALSE(fs::exists(other.file("Output/mine.out")));
    EXPECT_THAT(log("once.txt"), HasSubstr("receive folder C:\\Receive"));
}

} // namespace
