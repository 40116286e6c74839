#include "platform/FileTime.h"
#include "platform/HomeFolderLock.h"

#include "ChildProcess.h"
#include "MissingInput.h"
#include "PseudoTerminal.h"
#include "TempDir.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
        fs::copy_file(fs::path(MARQUILL_BIN_DIR) / "Plotter.INI", home.path() / "Plotter.INI");
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

TEST_F(PlotToolTest, CtrlCEndsTheCopyAtTheNextWrite)
{
    std::string lines = "IN;SP1;";
    for (int i = 0; i < 20000; ++i)
        lines += "PU0," + std::to_string(i % 4000) + ";PD4000," + std::to_string(i % 4000) + ";";
    const std::string plot = home.write("lines.plt", lines);
    // Nobody reads the line, so the tool waits for room once the terminal's buffer is full.
    ASSERT_TRUE(line.ok());
    mapCom1ToTerminal();
    const pid_t tool = start({"--port", "COM1", plot});
    pollfd ready = {line.master(), POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 60000), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    kill(tool, SIGINT);
    EXPECT_EQ(finish(tool, std::chrono::seconds(30)), 130) << messages();
    EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH="));
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

TEST_F(PlotToolTest, RefusesABadCommandLineAndExplainsItself)
{
    EXPECT_EQ(runTool({}), 2);
    EXPECT_EQ(runTool({"--copies", "0", home.write("a.plt", "IN;")}), 2);
    EXPECT_EQ(runTool({"--device", "no such device", home.file("a.plt")}), 2);
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
