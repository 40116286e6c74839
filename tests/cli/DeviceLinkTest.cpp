#include "vplotter/VirtualPlotter.h"

#include "ChildProcess.h"
#include "MissingInput.h"
#include "TempDir.h"

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string TOOL = std::string(MARQUILL_BIN_DIR) + "/marquill-plot";
const char* const PACED = "HP-GL 绘图仪(缓冲查询)";
const char* const UNPACED = "HP-GL 绘图仪";

// marquill-plot sending to a simulated plotter of 1,024 bytes on a 9,600 baud line whose flow control
// does not work (FlowCtrl=0), through COM1 in [PortMap].
class DeviceLinkTest : public ::testing::Test {
protected:
    TempDir home;

    void SetUp() override
    {
        if (!fs::exists(TOOL) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-plot or Import.so has not been built");
        fs::copy_file(fs::path(MARQUILL_SOURCE_DIR) / "res/config/Plotter.INI", home.path() / "Plotter.INI");
        home.write("Server.INI", "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n");
    }

    void connect(const VirtualPlotter& plotter)
    {
        home.write("Port.INI",
                   "[PortInfo]\nFlowCtrl=0\nTranSpeed=9600\n[PortMap]\nCOM1=" + plotter.path() + "\n");
    }

    pid_t start(const char* device, const std::string& port, const std::string& plot)
    {
        return startProgram(TOOL, {"--home", home.path().string(), "--device", device, "--port", port, plot},
                            home.file("messages.txt"));
    }

    std::string messages() const { return TempDir::read(home.file("messages.txt")); }

    // Waits until the tool has said the text, or the time-out passed.
    bool waitForMessage(const std::string& text, std::chrono::seconds timeout) const
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (messages().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
};

// 300 lines of 10 mm, each drawn from the left: about 5.5 KB, 6 m of pen travel.
std::string shortLines()
{
    std::string lines = "IN;SP1;";
    for (int i = 0; i < 300; ++i)
        lines += "PU0," + std::to_string(i * 4) + ";PD400," + std::to_string(i * 4) + ";";
    return lines;
}

// A plotter drawing at 600 mm/s takes less than the line brings, so its buffer overflows: without a
// handshake it loses a good part of the job while marquill-plot says it has finished at once; paced by its
// buffer it receives exactly what the file port writes, and marquill-plot ends once it has drawn it.
TEST_F(DeviceLinkTest, TheBufferQueryLosesNothingAndEndsWhenTheDeviceHasDrawn)
{
    const std::string plot = home.write("lines.plt", shortLines());
    ASSERT_EQ(finishProgram(start(PACED, home.file("out.plt"), plot), std::chrono::seconds(60)), 0)
        << messages();
    const std::string stream = TempDir::read(home.file("out.plt"));
    ASSERT_GT(stream.size(), 5000u);

    VirtualPlotterSettings settings;
    settings.penSpeed = 600;
    {
        VirtualPlotter plotter(settings);
        ASSERT_TRUE(plotter.ok());
        connect(plotter);
        EXPECT_EQ(finishProgram(start(UNPACED, "COM1", plot), std::chrono::seconds(60)), 0) << messages();
        EXPECT_FALSE(plotter.report().lineQuiet) << "the tool ended while the line still carried the job";
        plotter.waitUntilIdle(0.1);
        std::this_thread::sleep_for(std::chrono::milliseconds(6500)); // the line delivers the rest
        EXPECT_GT(plotter.report().lost, 500u);
    }

    VirtualPlotter plotter(settings);
    ASSERT_TRUE(plotter.ok());
    connect(plotter);
    EXPECT_EQ(finishProgram(start(PACED, "COM1", plot), std::chrono::seconds(120)), 0) << messages();
    const double ended = plotter.seconds();
    const VirtualPlotterReport report = plotter.report();
    EXPECT_EQ(report.lost, 0u);
    EXPECT_EQ(report.kept, stream + "OA;") << "the end is confirmed by the pen position";
    EXPECT_FALSE(report.drawing);
    EXPECT_GT(report.finishedAt, 9.0);
    EXPECT_LE(report.finishedAt, ended);
    EXPECT_THAT(messages(), HasSubstr("lines.plt: 已发送; 设备正在绘制"));
    EXPECT_THAT(messages(), HasSubstr("lines.plt: 完成"));
}

// A stop while the device draws the end of the copy makes it throw away what it holds; the copy is
// stopped, not counted.
TEST_F(DeviceLinkTest, AStopWhileTheDeviceIsDrawingSendsItsAbort)
{
    const std::string plot = home.write("lines.plt", "IN;SP1;PU0,0;PD40000,0;PU0,0;PD40000,0;PU0,0;");
    VirtualPlotter plotter;
    ASSERT_TRUE(plotter.ok());
    connect(plotter);
    const pid_t tool = start(PACED, "COM1", plot);
    ASSERT_TRUE(waitForMessage("设备正在绘制", std::chrono::seconds(30))) << messages();
    EXPECT_TRUE(plotter.report().drawing);
    kill(tool, SIGINT);
    EXPECT_EQ(finishProgram(tool, std::chrono::seconds(30)), 128 + SIGINT) << messages();
    EXPECT_THAT(messages(), HasSubstr("lines.plt: 绘图已终止"));
    EXPECT_THAT(messages(), Not(HasSubstr("lines.plt: 完成")));
    ASSERT_TRUE(plotter.waitUntilIdle(5));
    EXPECT_EQ(plotter.report().aborts, 1u);
    EXPECT_GT(plotter.report().discarded, 0u);
}

// A device that does not answer, answers what cannot be read, or stops answering during the copy fails the
// copy within the bound with the reason, instead of hanging or guessing.
TEST_F(DeviceLinkTest, ADeviceThatDoesNotAnswerRightFailsTheCopyWithTheReason)
{
    const std::string plot = home.write("lines.plt", shortLines());
    struct Case {
        const char* what;
        int answersBeforeFault;
        const char* fault; // what the device says from then on; null: nothing
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"never answers", 0, nullptr,
         "端口 COM1 无法打开: 设备不回答缓冲区查询; 请在绘图设置中选择其他握手方式"},
        {"answers garbage", 0, "OK?\r", "端口 COM1 无法打开: 无法读懂设备对查询的回答 (OK?)"},
        {"falls silent during the copy", 5, nullptr,
         "端口 COM1 输出失败: 设备不回答缓冲区查询; 请在绘图设置中选择其他握手方式"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int answered = 0;
        VirtualPlotterSettings settings;
        settings.answerFilter = [&c, &answered](std::string_view, const std::string& answer) -> std::string {
            if (answered++ < c.answersBeforeFault)
                return answer;
            return c.fault != nullptr ? c.fault : "";
        };
        VirtualPlotter plotter(settings);
        ASSERT_TRUE(plotter.ok());
        connect(plotter);
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(finishProgram(start(PACED, "COM1", plot), std::chrono::seconds(60)), 1) << messages();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
        EXPECT_THAT(messages(), HasSubstr(std::string("lines.plt: ") + c.reason));
    }
}

} // namespace

namespace {

// The device check says what the device answered and which handshake to choose, and is quick about a
// device that answers nothing.
TEST_F(DeviceLinkTest, TheProbeSaysWhatTheDeviceAnsweredAndWhichHandshakeToChoose)
{
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent);
        VirtualPlotterSettings settings;
        if (silent)
            settings.answerFilter = [](std::string_view, const std::string&) { return std::string(); };
        VirtualPlotter plotter(settings);
        ASSERT_TRUE(plotter.ok());
        connect(plotter);
        const auto started = std::chrono::steady_clock::now();
        const int status =
            finishProgram(startProgram(TOOL, {"--home", home.path().string(), "--probe", "--port", "COM1"},
                                       home.file("messages.txt")),
                          std::chrono::seconds(30));
        if (silent) {
            EXPECT_EQ(status, 1);
            EXPECT_EQ(messages(),
                      "设备没有任何回答: 请选择不握手 (Handshake=0), 并在端口设置中选择电缆支持的流控 "
                      "(XON/XOFF 或 RTS/CTS)。\n");
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
        } else {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(messages(), "设备型号 (OI): 7475A\n缓冲区 1024 字节, 空闲 1024 字节\n设备就绪\n"
                                  "设备回答缓冲区查询: 请选择握手方式 \"缓冲查询\" (Handshake=1)。\n");
        }
        EXPECT_EQ(plotter.report().kept, silent ? "OI;OI;" : "OI;") << "the check sends no drawing";
    }
}

} // namespace
