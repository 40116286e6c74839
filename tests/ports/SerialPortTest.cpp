#include "platform/Hooks.h"
#include "ports/CPlotPort.h"
#include "ports/SerialLine.h"

#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <termios.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// COM1 mapped to a pseudo-terminal.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(line.ok()); }
    void TearDown() override { platform::resetHooks(); }

    // Opens a fresh port object on COM1 with the given [PortInfo] lines, as each run does.
    void openPort(int outMethod, const std::string& portInfo = "")
    {
        iniPath =
            dir.write("Port.INI", "[PortInfo]\n" + portInfo + "[PortMap]\nCOM1=" + line.slavePath() + "\n");
        port = std::make_unique<CPlotPort>(iniPath);
        port->SelectPort("COM1");
        ASSERT_EQ(port->Open(outputMethodOf(outMethod), MessageSteps::Run, &stop), 1) << port->openError();
    }

    std::string drain(std::size_t expected) const
    {
        std::string received;
        char buffer[65536];
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (received.size() < expected && Clock::now() < deadline) {
            pollfd ready{line.master(), POLLIN, 0};
            const ssize_t got = poll(&ready, 1, 10) > 0 ? read(line.master(), buffer, sizeof buffer) : 0;
            received.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        }
        return received;
    }

    PseudoTerminal line;
    TempDir dir;
    std::string iniPath;
    std::int32_t stop = 1;
    std::unique_ptr<CPlotPort> port;
};

} // namespace

TEST_F(SerialPortTest, ExactBytesArriveInOrderWithEveryOutputMethod)
{
    std::string everyByte; // line ends included, so that any translation on the way shows
    for (int value = 1; value < 256; ++value)
        everyByte.push_back(static_cast<char>(value));
    openPort(0);
    for (int method : {0, 1, 2, 3, 7}) {
        SCOPED_TRACE(method);
        // Opening the open port closes the old connection first; its lock would refuse the new one.
        ASSERT_EQ(port->Open(outputMethodOf(method), MessageSteps::Run, &stop), 1) << port->openError();
        EXPECT_EQ(stop, 0);
        const std::string expected = everyByte + "IN;SP1;" + everyByte;
        std::string received;
        std::thread reader([&] { received = drain(expected.size()); });
        EXPECT_EQ(port->Write(everyByte.c_str()), 1);
        EXPECT_EQ(port->Write("IN;SP1;"), 1);
        EXPECT_EQ(port->Write(everyByte.c_str()), 1);
        port->Close(); // sends what waits for the rest of its block
        EXPECT_EQ(stop, 1);
        reader.join();
        EXPECT_TRUE(received == expected);
    }
}

TEST_F(SerialPortTest, BlockWritesOfferAboutFiftyMillisecondsOfTheLineAtATime)
{
    for (unsigned rate : {9600u, 115200u}) {
        SCOPED_TRACE(rate);
        openPort(3, "TranSpeed=" + std::to_string(rate) + "\n"); // method 3: one message step per call
        const std::size_t block = rate / 200;                    // ten bits a byte, 50 ms
        int calls = 0;
        platform::Hooks hooks;
        hooks.messageStep = [&] { ++calls; };
        platform::installHooks(hooks);
        const std::string commands(20 * block + 7, 'P');
        std::string received;
        std::thread reader([&] { received = drain(commands.size()); });
        for (std::size_t i = 0; i < commands.size(); i += 7)
            EXPECT_EQ(port->Write(commands.substr(i, 7).c_str()), 1);
        port->Close();
        reader.join();
        EXPECT_EQ(received, commands);
        // Twenty whole blocks and the rest at the close, or more calls where the line took less.
        EXPECT_GE(calls, 21);
        EXPECT_LT(calls, 40);
    }
}

// The pseudo-terminal's driver forces eight data bits without parity; those are checked in SerialLineState.
TEST_F(SerialPortTest, LineStateFollowsPortIni)
{
    struct Case {
        const char* portInfo;
        unsigned rate;
        bool twoStopBits, rtsCts, xonXoff;
    };
    for (const Case& c : {Case{"TranSpeed=19200\nStopBits=2\nFlowCtrl=6\n", 19200, true, true, true},
                          Case{"FlowCtrl=0\n", 9600, false, false, false},
                          Case{"TranSpeed=128000\nFlowCtrl=1\n", 128000, false, false, false},
                          Case{"TranSpeed=256000\nFlowCtrl=4\n", 256000, false, false, true}}) {
        SCOPED_TRACE(c.portInfo);
        openPort(2, c.portInfo);
        termios state{};
        tcgetattr(line.slave(), &state);
        EXPECT_EQ(lineOutputRate(line.slave()), c.rate);
        EXPECT_EQ((state.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ((state.c_cflag & CRTSCTS) != 0, c.rtsCts);
        EXPECT_EQ(state.c_iflag & (IXON | IXOFF), c.xonXoff ? static_cast<tcflag_t>(IXON | IXOFF) : 0u);
        EXPECT_EQ(state.c_oflag & OPOST, 0u);
        port->Close();
    }
}

TEST_F(SerialPortTest, StoppedReaderLetsAWriteEndRightAfterTheStopFlagIsRaised)
{
    for (int method : {1, 2, 3}) {
        SCOPED_TRACE(method);
        openPort(method);
        const Clock::time_point start = Clock::now();
        Clock::time_point raisedAt;
        platform::Hooks hooks;
        hooks.messageStep = [&] { // the window's stop command, once the line has been full for a while
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
        port->Close();
        tcflush(line.slave(), TCIOFLUSH);
    }
}

TEST_F(SerialPortTest, NoByteLeavesOneByOneAfterTheStopCommandRanInTheMessageStep)
{
    openPort(1);
    int steps = 0;
    platform::Hooks hooks;
    hooks.messageStep = [&] { // the stop command arrives with the third message step
        if (++steps == 3)
            stop = 1;
    };
    platform::installHooks(hooks);
    EXPECT_EQ(port->Write("ABCDEF"), 0);
    EXPECT_EQ(drain(2), "AB");
    pollfd ready{line.master(), POLLIN, 0};
    EXPECT_EQ(poll(&ready, 1, 50), 0) << "a byte left after the stop";

    // Ending the pass safely, the command cut short is completed before anything else is sent.
    stop = 0;
    port->finishAfterStop(std::chrono::milliseconds(1000));
    EXPECT_EQ(port->Write("PU;"), 1);
    EXPECT_EQ(drain(7), "CDEFPU;");
}

// After a stop the closing commands wait only so long for a device that takes nothing, in both write
// modes. (A line that hangs up is tried with marquill-plot as a process.)
TEST_F(SerialPortTest, ASafeEndGivesUpOnADeviceThatTakesNothing)
{
    for (int method : {1, 2}) {
        SCOPED_TRACE(method);
        openPort(method);
        const std::string megabyte(1 << 20, 'X');
        platform::Hooks hooks;
        const Clock::time_point start = Clock::now();
        hooks.messageStep = [&] {
            if (stop == 0 && Clock::now() - start > std::chrono::milliseconds(100))
                stop = 1;
        };
        platform::installHooks(hooks);
        EXPECT_EQ(port->Write(megabyte.c_str()), 0);
        platform::resetHooks();
        stop = 0;
        const Clock::time_point finishing = Clock::now();
        port->finishAfterStop(std::chrono::milliseconds(200));
        port->Write("PU;");
        port->Close();
        EXPECT_EQ(stop, 1);
        EXPECT_LT(Clock::now() - finishing, std::chrono::seconds(2));
        tcflush(line.slave(), TCIOFLUSH);
    }
}

TEST_F(SerialPortTest, MissingOrBusyPortDoesNotOpenAndWritesSendNothing)
{
    openPort(2);
    CPlotPort busy(iniPath);
    busy.SelectPort("COM1");
    EXPECT_EQ(busy.Open(OutputMethod::Blocks, MessageSteps::Skip, &stop), 0);
    EXPECT_NE(busy.openError().find("正被其他程序使用"), std::string::npos) << busy.openError();

    CPlotPort missing(dir.write("Missing.INI", "[PortMap]\nCOM1=/nonexistent/ttyUSB0\n"));
    missing.SelectPort("COM1");
    EXPECT_EQ(missing.Open(OutputMethod::Blocks, MessageSteps::Run, &stop), 0);
    EXPECT_EQ(stop, 0);
    EXPECT_NE(missing.openError().find("/nonexistent/ttyUSB0"), std::string::npos) << missing.openError();
    EXPECT_EQ(missing.Write("IN;"), 1);
    missing.Close();
    EXPECT_EQ(stop, 1);
}
