#include "platform/Hooks.h"
#include "ports/CPlotPort.h"

#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <termios.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
int window; // stands for the window whose messages the message step serves

// COM1 mapped to a pseudo-terminal, with the given [PortInfo] lines.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.ok());
        writeSettings("");
    }
    void TearDown() override { platform::resetHooks(); }

    void writeSettings(const std::string& portInfo)
    {
        iniPath = dir.write("Port.INI", "[PortInfo]\n" + portInfo + "[PortMap]\nCOM1=" + line.slavePath() + "\n");
    }

    // Opens a fresh port object on COM1, as each run does.
    void openPort(int outMethod)
    {
        port = std::make_unique<CPlotPort>(iniPath);
        port->SelectPort("COM1");
        ASSERT_EQ(port->Open(outMethod, &window, &stop), 1) << port->openError();
    }

    std::string drain(std::size_t expected)
    {
        std::string received;
        char buffer[65536];
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (received.size() < expected && Clock::now() < deadline) {
            pollfd ready{line.master(), POLLIN, 0};
            if (poll(&ready, 1, 10) > 0) {
                const ssize_t got = read(line.master(), buffer, sizeof buffer);
                if (got > 0)
                    received.append(buffer, static_cast<std::size_t>(got));
            }
        }
        return received;
    }

    termios slaveState() const
    {
        termios state{};
        tcgetattr(line.slave(), &state);
        return state;
    }

    PseudoTerminal line;
    TempDir dir;
    std::string iniPath;
    std::int32_t stop = 1;
    std::unique_ptr<CPlotPort> port;
};

// Every byte value but NUL, line ends included, so that any translation on the way shows.
std::string allByteValues()
{
    std::string bytes;
    for (int value = 1; value < 256; ++value)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

} // namespace

TEST_F(SerialPortTest, ExactBytesArriveInOrderWithEveryOutputMethod)
{
    for (int method : {0, 1, 2, 3, 7}) {
        SCOPED_TRACE(method);
        openPort(method);
        std::string expected;
        std::string received;
        std::thread reader([&] { received = drain(3 * 255 + 12); });
        for (const std::string& text : {allByteValues(), std::string("IN;SP1;PU0,0;"), allByteValues(),
                                        allByteValues()}) {
            EXPECT_EQ(port->Write(text.c_str()), 1);
            expected += text;
        }
        reader.join();
        EXPECT_EQ(received.size(), expected.size());
        EXPECT_TRUE(received == expected);
        EXPECT_EQ(stop, 0);
        port->Close();
        EXPECT_EQ(stop, 1);
    }
}

// A pseudo-terminal holds the rate, stop bits and flow control as set; its kernel driver forces eight data
// bits without parity, so those are checked on the computed state (SerialLineStateTest).
TEST_F(SerialPortTest, LineStateFollowsPortIni)
{
    struct Case {
        const char* portInfo;
        unsigned rate;
        bool twoStopBits;
        bool rtsCts;
        bool xonXoff;
    };
    const Case cases[] = {
        {"TranSpeed=19200\nStopBits=2\nFlowCtrl=6\n", 19200, true, true, true},
        {"TranSpeed=9600\nStopBits=0\nFlowCtrl=0\n", 9600, false, false, false},
        {"TranSpeed=128000\nFlowCtrl=2\n", 128000, false, true, false},
        {"TranSpeed=256000\nFlowCtrl=4\n", 256000, false, false, true},
        {"TranSpeed=115200\nFlowCtrl=1\n", 115200, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.portInfo);
        writeSettings(c.portInfo);
        openPort(2);
        const termios state = slaveState();
        EXPECT_EQ(lineRate(line.slave()), c.rate);
        EXPECT_EQ((state.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ((state.c_cflag & CRTSCTS) != 0, c.rtsCts);
        EXPECT_EQ((state.c_iflag & IXON) != 0, c.xonXoff);
        EXPECT_EQ((state.c_iflag & IXOFF) != 0, c.xonXoff);
        EXPECT_NE(state.c_iflag & INPCK, 0u); // parity checked whatever the parity
        EXPECT_EQ(state.c_oflag & OPOST, 0u);   // bytes go out untranslated
        port->Close();
    }
}

TEST_F(SerialPortTest, SettingsTheLineCannotTakeKeepItsCurrentSetting)
{
    writeSettings("TranSpeed=19200\nStopBits=2\n");
    openPort(2);
    port->Close();
    // One and a half stop bits and a zero rate (a speed list without a selection).
    writeSettings("TranSpeed=0\nStopBits=1\n");
    openPort(2);
    EXPECT_EQ(lineRate(line.slave()), 19200u);
    EXPECT_NE(slaveState().c_cflag & CSTOPB, 0u);
}

TEST_F(SerialPortTest, StoppedReaderLetsAWriteEndShortlyAfterTheStopFlagIsRaised)
{
    for (int method : {1, 2, 3}) {
        SCOPED_TRACE(method);
        openPort(method);
        const Clock::time_point start = Clock::now();
        Clock::time_point raisedAt;
        platform::Hooks hooks;
        hooks.messageStep = [&] {
            // The window's stop command, once the line has been full for a while.
            if (stop == 0 && Clock::now() - start > std::chrono::milliseconds(150)) {
                stop = 1;
                raisedAt = Clock::now();
            }
        };
        platform::installHooks(hooks);
        const std::string megabyte(1 << 20, 'X');
        EXPECT_EQ(port->Write(megabyte.c_str()), 0);
        ASSERT_EQ(stop, 1);
        EXPECT_LT(Clock::now() - raisedAt, std::chrono::milliseconds(100));
        platform::resetHooks();
        port->Close();
        tcflush(line.slave(), TCIOFLUSH);
    }
}

TEST_F(SerialPortTest, VanishedDeviceIsRetriedCalmlyUntilStopped)
{
    openPort(2);
    int stepsAfterVanish = 0;
    Clock::time_point vanishedAt;
    platform::Hooks hooks;
    hooks.messageStep = [&] {
        if (line.master() >= 0) {
            line.closeMaster();
            vanishedAt = Clock::now();
            return;
        }
        ++stepsAfterVanish;
        if (Clock::now() - vanishedAt > std::chrono::milliseconds(200))
            stop = 1;
    };
    platform::installHooks(hooks);
    EXPECT_EQ(port->Write("PU0,0;PD100,100;"), 0);
    // Two steps per failed attempt and a pause of a few milliseconds each: far below one per microsecond.
    EXPECT_LT(stepsAfterVanish, 200);
    EXPECT_GT(stepsAfterVanish, 4);
}

TEST_F(SerialPortTest, OpenOnAnOpenPortReopensWithTheStopFlagDown)
{
    openPort(2);
    std::int32_t otherStop = 0;
    ASSERT_EQ(port->Open(2, &window, &otherStop), 1);
    EXPECT_EQ(stop, 1); // the old connection was closed and its flag raised
    EXPECT_EQ(otherStop, 0);
    std::string received;
    std::thread reader([&] { received = drain(5); });
    EXPECT_EQ(port->Write("IN;PA"), 1);
    reader.join();
    EXPECT_EQ(received, "IN;PA");
}

TEST_F(SerialPortTest, FailedOpenSendsNothingAndKeepsTheReason)
{
    iniPath = dir.write("Port.INI", "[PortMap]\nCOM1=/nonexistent/ttyUSB0\n");
    port = std::make_unique<CPlotPort>(iniPath);
    port->SelectPort("COM1");
    EXPECT_EQ(port->Open(2, &window, &stop), 0);
    EXPECT_EQ(stop, 0);
    EXPECT_NE(port->openError().find("/nonexistent/ttyUSB0"), std::string::npos) << port->openError();
    EXPECT_EQ(port->Write("IN;"), 1);
    port->Close();
    EXPECT_EQ(stop, 1);
}

TEST_F(SerialPortTest, BusyPortDoesNotOpen)
{
    openPort(2);
    CPlotPort second(iniPath);
    second.SelectPort("COM1");
    std::int32_t otherStop = 1;
    EXPECT_EQ(second.Open(2, nullptr, &otherStop), 0);
    EXPECT_NE(second.openError().find("in use"), std::string::npos) << second.openError();
}
