#include "platform/FileTime.h"
#include "platform/HomeFolderLock.h"

#include "ChildProcess.h"
#include "MissingInput.h"
#include "PseudoTerminal.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string TOOL = std::string(MARQUILL_BIN_DIR) + "/marquill-plot";
const fs::path PLOTS = MARQUILL_PLOTS_DIR;

// marquill-plot on a settings folder of its own: the shipped device profiles, a Chinese Server.INI
// (so that the machine's locale does not choose the files) and whatever Port.INI a test writes.
class PlotToolTest : public ::testing::Test {
protected:
    TempDir home;
    PseudoTerminal line;

    void SetUp() override
    {
        if (!fs::exists(TOOL) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-plot or Import.so has not been built");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        home.write("Server.INI", "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n");
    }

    // Starts the tool with its standard output and error going to a file of the home folder.
    pid_t start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> all = {"--home", home.path().string()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return startProgram(TOOL, all, home.file("messages.txt"));
    }

    static int finish(pid_t pid, std::chrono::seconds timeout = std::chrono::seconds(120))
    {
        return finishProgram(pid, timeout);
    }

    int runTool(const std::vector<std::string>& arguments) { return finish(start(arguments)); }

    std::string messages() const { return TempDir::read(home.file("messages.txt")); }
    std::string serverIni() const { return TempDir::read(home.file("Server.INI")); }

    // COM1 stands for the pseudo-terminal, through [PortMap] of Port.INI.
    void mapCom1ToTerminal() { home.write("Port.INI", "[PortMap]\nCOM1=" + line.slavePath() + "\n"); }
};

// Everything that arrives at the master side until the tool has ended and the line stays quiet.
std::string readUntilQuiet(int master, pid_t tool, int& exitStatus)
{
    std::string received;
    bool ended = false;
    for (;;) {
        pollfd ready = {master, POLLIN, 0};
        if (poll(&ready, 1, ended ? 200 : 50) > 0 && (ready.revents & POLLIN)) {
            char buffer[4096];
            const ssize_t got = read(master, buffer, sizeof buffer);
            if (got > 0) {
                received.append(buffer, static_cast<std::size_t>(got));
                continue;
            }
        }
        if (ended)
            return received;
        int status = 0;
        if (waitpid(tool, &status, WNOHANG) == tool) {
            ended = true;
            exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
    }
}

TEST_F(PlotToolTest, PlotsARealFileIntoAFileAndThroughASerialLineAlike)
{
    const fs::path plot = PLOTS / "foal.hpgl";
    if (!fs::exists(plot))
        SKIP_WITHOUT_INPUT("no real plot files");
    const auto modified = fs::last_write_time(plot);

    ASSERT_EQ(runTool({"--port", home.file("out.plt"), plot.string()}), 0) << messages();
    const std::string stream = TempDir::read(home.file("out.plt"));
    EXPECT_THAT(stream, StartsWith("IN;PU0,0;PA;PU;SP1;"));
    EXPECT_THAT(stream, EndsWith("SP0;PG;"));
    EXPECT_GT(stream.size(), 10000u);
    EXPECT_THAT(messages(), HasSubstr("foal.hpgl: 正在绘制 0 - 500mm 区域"));
    EXPECT_THAT(messages(), HasSubstr("foal.hpgl: 完成"));
    EXPECT_EQ(fs::last_write_time(plot), modified);
    EXPECT_THAT(serverIni(), ::testing::Not(HasSubstr("REMAINMEDIALENGTH=100000")));

    // The same bytes through a pseudo-terminal standing for COM1.
    ASSERT_TRUE(line.ok());
    mapCom1ToTerminal();
    const pid_t tool = start({"--port", "COM1", plot.string()});
    int status = -1;
    const std::string received = readUntilQuiet(line.master(), tool, status);
    EXPECT_EQ(status, 0) << messages();
    EXPECT_EQ(received, stream);
}

// 20,000 lines of 100 mm across the media: far more than a terminal's buffer holds.
std::string manyLines()
{
    std::string lines = "IN;SP1;";
    for (int i = 0; i < 20000; ++i)
        lines += "PU0," + std::to_string(i % 4000) + ";PD4000," + std::to_string(i % 4000) + ";";
    return lines;
}

// Ctrl-C, SIGTERM and SIGHUP end the copy at its next write. The stopped copy is reported as such, not
// marked, and only its one begun section of 100 mm is taken off the roll, which is in Server.INI. While
// nobody reads the line the tool says so once, after five seconds, and keeps waiting.
TEST_F(PlotToolTest, StopSignalsEndTheCopyUncountedAndTheRollCountIsKept)
{
    const std::string plot = home.write("lines.plt", manyLines());
    const auto modified = fs::last_write_time(plot);
    ASSERT_TRUE(line.ok());
    mapCom1ToTerminal();
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        home.write("Server.INI", "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n");
        tcflush(line.master(), TCIOFLUSH);
        const pid_t tool = start({"--mark-plotted", "--port", "COM1", plot});
        pollfd ready = {line.master(), POLLIN, 0};
        ASSERT_EQ(poll(&ready, 1, 60000), 1);
        if (signal == SIGTERM) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (messages().find("设备不接收数据") == std::string::npos &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            EXPECT_EQ(waitpid(tool, nullptr, WNOHANG), 0) << "the tool gave up on a stalled device";
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }

        kill(tool, signal);
        EXPECT_EQ(finish(tool, std::chrono::seconds(30)), 128 + signal) << messages();
        const std::string said = messages();
        if (signal == SIGTERM) {
            EXPECT_THAT(said, HasSubstr("lines.plt: 设备不接收数据, 本份已发送 "));
            EXPECT_EQ(said.find("设备不接收数据"), said.rfind("设备不接收数据")) << said;
        }
        EXPECT_THAT(said, HasSubstr("lines.plt: 绘图已终止"));
        EXPECT_EQ(fs::last_write_time(plot), modified);
        EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH=99900"));
    }
}

// A device that can take no more fails the copy with the port and the reason, instead of being retried
// for ever or ending the tool: a full device, a line that hangs up, a pipe whose reader goes away.
TEST_F(PlotToolTest, APortThatTakesNoMoreFailsTheCopyWithItsReason)
{
    const std::string plot = home.write("frame.plt", "IN;PU0,0;PD4000,0,4000,2000;");
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(finish(start({"--mark-plotted", "--port", "/dev/full", plot}), std::chrono::seconds(30)),
                  1);
        EXPECT_THAT(messages(), HasSubstr("frame.plt: 端口 /dev/full 输出失败: No space left on device"));
        EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH=100000"));
        EXPECT_FALSE(platform::hasPlottedMark(plot));
    }

    const std::string longPlot = home.write("lines.plt", manyLines());
    ASSERT_TRUE(line.ok());
    mapCom1ToTerminal();
    // Only the test holds the device side, so that closing it hangs the line up.
    fcntl(line.master(), F_SETFD, FD_CLOEXEC);
    fcntl(line.slave(), F_SETFD, FD_CLOEXEC);
    const pid_t tool = start({"--port", "COM1", longPlot});
    pollfd ready = {line.master(), POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 60000), 1);
    line.closeMaster();
    EXPECT_EQ(finish(tool, std::chrono::seconds(30)), 1) << messages();
    EXPECT_THAT(messages(), HasSubstr("lines.plt: 端口 COM1 输出失败: 设备已断开"));

    const std::string pipe = home.file("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const pid_t piped = start({"--port", pipe, longPlot});
    pollfd readable = {reader, POLLIN, 0};
    ASSERT_EQ(poll(&readable, 1, 60000), 1);
    close(reader);
    EXPECT_EQ(finish(piped, std::chrono::seconds(30)), 1) << messages();
    EXPECT_THAT(messages(), HasSubstr("lines.plt: 端口 " + pipe + " 输出失败: Broken pipe"));
}

TEST_F(PlotToolTest, ReportsAJobThatDidNotFinishAndMarksFilesOnlyWhenAsked)
{
    const std::string plot = home.write("frame.plt", "IN;PU0,0;PD4000,0,4000,2000;");
    EXPECT_EQ(runTool({"--mark-plotted", "--port", home.file("missing/out.plt"), plot}), 1);
    EXPECT_THAT(messages(), HasSubstr("frame.plt: 端口 " + home.file("missing/out.plt") + " 无法打开: "));
    EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH=100000"));
    EXPECT_FALSE(platform::hasPlottedMark(plot));

    EXPECT_EQ(runTool({"--mark-plotted", "--port", home.file("out.plt"), plot}), 0) << messages();
    EXPECT_TRUE(platform::hasPlottedMark(plot));
}

TEST_F(PlotToolTest, EveryCopyStaysInTheOutputFileAndALongPathIsUsedWhole)
{
    const std::string plot = home.write("frame.plt", "IN;PU0,0;PD4000,0,4000,2000;");
    // A folder path far longer than 149 characters.
    fs::path folder = home.path();
    for (int i = 0; i < 6; ++i)
        folder /= std::string(40, static_cast<char>('a' + i));
    fs::create_directories(folder);
    const std::string out = (folder / "out.plt").string();

    ASSERT_EQ(runTool({"--copies", "2", "--port", out, plot}), 0) << messages();
    const std::string twice = TempDir::read(out);
    EXPECT_EQ(std::count(twice.begin(), twice.end(), 'G'), 2) << twice; // one page advance per copy
    // Nothing was written anywhere else along the way.
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(home.path() / std::string(40, 'a')))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1u);

    // A new run starts the file anew.
    ASSERT_EQ(runTool({"--port", out, plot}), 0) << messages();
    const std::string once = TempDir::read(out);
    EXPECT_EQ(std::count(once.begin(), once.end(), 'G'), 1) << once;
}

TEST_F(PlotToolTest, APortNeverWritesOverAPlotOrSettingsFile)
{
    const std::string plot = home.write("frame.plt", "IN;PU0,0;PD4000,0,4000,2000;");
    const std::string other = home.write("other.plt", "IN;PU0,0;PD4000,0;");
    fs::create_directory(home.path() / "receive");
    const std::string received = home.write("receive/waiting.plt", "IN;PU0,0;PD100,0;");
    home.write("Server.INI", "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n[Receive]\nAReceivePath=" +
                                 home.file("receive") + "\n");
    const std::string settings = serverIni();
    const std::string link = home.file("link.plt");
    fs::create_symlink(other, link);

    for (const std::string& target : {plot, link, home.file("Server.INI"), home.file("Plotter.INI"), received,
                                      home.file("receive/new.plt")}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(runTool({"--port", target, plot, other}), 1);
        EXPECT_THAT(messages(), HasSubstr("不会被覆盖"));
    }
    EXPECT_EQ(TempDir::read(plot), "IN;PU0,0;PD4000,0,4000,2000;");
    EXPECT_EQ(TempDir::read(other), "IN;PU0,0;PD4000,0;");
    EXPECT_EQ(TempDir::read(received), "IN;PU0,0;PD100,0;");
    EXPECT_EQ(serverIni(), settings);
    EXPECT_FALSE(fs::exists(home.path() / "receive/new.plt"));
}

TEST_F(PlotToolTest, SpeaksTheLanguageOfTheSettingsAndEscapesFileNames)
{
    fs::copy_file(shippedFile("Plotter_Eng.INI"), home.path() / "Plotter_Eng.INI");
    home.write("Server.INI", "[SYSTEM]\nLanguage=1033\nREMAINMEDIALENGTH=100000\n");
    const std::string plot = home.write("a\x1b[2Jb.plt", "IN;PU0,0;PD4000,0,4000,2000;");
    EXPECT_EQ(runTool({"--port", home.file("missing/out.plt"), plot}), 1);
    const std::string said = messages();
    EXPECT_THAT(
        said, HasSubstr("a\\x1B[2Jb.plt: The port " + home.file("missing/out.plt") + " could not be opened"));
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
}

// A refused command line leaves Server.INI as it was, even when it names no language yet.
TEST_F(PlotToolTest, RefusesABadCommandLineAndExplainsItself)
{
    // Without a language the machine's own chooses the device-profile file.
    fs::copy_file(shippedFile("Plotter_Eng.INI"), home.path() / "Plotter_Eng.INI");
    home.write("Server.INI", "[SYSTEM]\nREMAINMEDIALENGTH=100000\n");
    EXPECT_EQ(runTool({}), 2);
    EXPECT_EQ(runTool({"--copies", "0", home.write("a.plt", "IN;")}), 2);
    EXPECT_EQ(runTool({"--device", "no such device", home.file("a.plt")}), 2);
    // A FIFO would keep the import filter reading for ever.
    const std::string fifo = home.file("pipe.plt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(finish(start({"--port", home.file("out.plt"), fifo}), std::chrono::seconds(30)), 2);
    EXPECT_THAT(messages(), HasSubstr("pipe.plt is not a regular file"));
    EXPECT_EQ(serverIni(), "[SYSTEM]\nREMAINMEDIALENGTH=100000\n");
    fs::remove(home.path() / "Plotter_Eng.INI");
    home.write("Server.INI", "[SYSTEM]\nLanguage=2052\n");

    EXPECT_EQ(runTool({"--help"}), 0);
    EXPECT_THAT(messages(), HasSubstr("--mark-plotted"));
    // No device-profile file: no device would receive anything.
    fs::remove(home.path() / "Plotter.INI");
    EXPECT_EQ(runTool({home.file("a.plt")}), 2);
    EXPECT_THAT(messages(), HasSubstr("selects no device"));
}

TEST_F(PlotToolTest, RefusesASettingsFolderAnotherProcessHoldsAndPlotsOnceItIsFree)
{
    // An adaptive line type goes from the file through the filter and the run to the device with its sign.
    const std::string plot = home.write("dashed.plt", "IN;SP1;LT-2,5;PU0,0;PD4000,0,4000,2000;");
    platform::HomeFolderLock holder;
    ASSERT_TRUE(holder.take(home.path().string())) << holder.refusal();
    EXPECT_EQ(runTool({"--port", home.file("out.plt"), plot}), 3);
    EXPECT_THAT(messages(), HasSubstr("process id " + std::to_string(getpid())));
    EXPECT_FALSE(fs::exists(home.file("out.plt")));

    holder.release();
    ASSERT_EQ(runTool({"--port", home.file("out.plt"), plot}), 0) << messages();
    EXPECT_THAT(TempDir::read(home.file("out.plt")), HasSubstr(";LT-2,5"));
}

} // namespace

// --estimate times each file through the device and the port's line, sends nothing and writes nothing;
// a slower line makes a line-bound copy take the line's time.
TEST_F(PlotToolTest, EstimatesEachFileWithoutPlottingIt)
{
    std::string drawing = "IN;PU0,0;";
    for (int i = 0; i < 200; ++i)
        drawing += "PD" + std::to_string(4000 + i) + "," + std::to_string(i % 2) + ";";
    const std::string plot = home.write("frame.plt", drawing);
    const std::string output = home.file("out.plt");
    const std::string before = serverIni();
    const auto estimate = [&](unsigned baud) {
        home.write("Port.INI", "[PortInfo]\nTranSpeed=" + std::to_string(baud) + "\n");
        EXPECT_EQ(runTool({"--estimate", "--copies", "3", "--port", "COM1", plot}), 0) << messages();
        return messages();
    };
    const std::string fast = estimate(9600);
    EXPECT_THAT(fast, StartsWith(plot + ": 0:0"));
    EXPECT_THAT(fast, HasSubstr(" a copy, "));
    EXPECT_THAT(fast, HasSubstr(" for 3 copies ("));
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(serverIni(), before);

    // About 2,600 bytes: 9 s at 2,400 baud, 87 s at 300.
    const std::string slow = estimate(300);
    const std::size_t open = slow.find('(');
    ASSERT_NE(open, std::string::npos) << slow;
    const long bytes = std::stol(slow.substr(open + 1));
    const long lineSeconds = (bytes * 10 + 150) / 300;
    const std::string lineText = std::to_string(lineSeconds / 60) + ":" + (lineSeconds % 60 < 10 ? "0" : "") +
                                 std::to_string(lineSeconds % 60);
    EXPECT_THAT(slow, StartsWith(plot + ": " + lineText.substr(0, 2))) << slow;
    EXPECT_THAT(slow, HasSubstr("line " + lineText + ",")) << slow;

    EXPECT_EQ(runTool({"--estimate", home.write("empty.plt", "IN;")}), 1);
    EXPECT_THAT(messages(), HasSubstr("empty.plt: "));
    EXPECT_EQ(runTool({"--estimate", "--probe", "--port", "COM1"}), 2);
}
