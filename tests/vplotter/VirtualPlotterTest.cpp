// Uses the kernel's termios2 to set the sender's end of the line, and so cannot include <termios.h>.
#include "vplotter/VirtualPlotter.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <string>
#include <thread>

namespace {

using ::testing::HasSubstr;

// The sender's end of the line, written with blocking writes as a serial driver would take them.
class Sender {
public:
    explicit Sender(const std::string& path, bool xonXoff = false)
        : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        termios2 state{};
        if (xonXoff && ioctl(fd_, TCGETS2, &state) == 0) {
            state.c_iflag |= IXON;
            ioctl(fd_, TCSETS2, &state);
        }
    }
    ~Sender() { close(fd_); }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    void send(const std::string& bytes) const
    {
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t got = write(fd_, bytes.data() + written, bytes.size() - written);
            if (got <= 0)
                return;
            written += static_cast<std::size_t>(got);
        }
    }

    // Everything the device answers until it has been quiet for a while.
    std::string answers(int quietMs = 300) const
    {
        std::string got;
        pollfd ready{fd_, POLLIN, 0};
        while (poll(&ready, 1, quietMs) == 1) {
            char buffer[256];
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    int fd_;
};

// Lines of 10 mm: at 400 mm/s each takes 25 ms to draw, its pen-up return as long.
std::string lines(int count)
{
    std::string text = "IN;SP1;";
    for (int i = 0; i < count; ++i)
        text += "PU0," + std::to_string(i * 4) + ";PD400," + std::to_string(i * 4) + ";";
    return text;
}

TEST(VirtualPlotterTest, AnswersItsQueriesAndDrawsAtPenSpeedWhatTheLineBroughtAtItsRate)
{
    VirtualPlotter plotter;
    ASSERT_TRUE(plotter.ok());
    Sender sender(plotter.path());
    EXPECT_EQ(plotter.report().lineRate, 9600u);

    sender.send("\x1B.L\x1B.B\x1B.O\x1B.E");
    EXPECT_EQ(sender.answers(), "1024\r1024\r8\r0\r");

    // 100 mm of lines and 100 mm back: half a second of drawing; 96 bytes take a tenth of a second.
    const std::string job = "IN;PU0,0;PD4000,0;PU0,0;PD4000,0;PU0,0;OA;OI;OS;\x1B.B";
    sender.send(job);
    const std::string early = sender.answers();
    EXPECT_THAT(early, ::testing::MatchesRegex("[0-9]+\r")) << "ESC.B is answered at once";
    EXPECT_LT(std::stoul(early), 1024u);
    EXPECT_EQ(sender.answers(1000), "0,0,0\r7475A\r24\r") << "OA, OI and OS when the drawing reaches them";
    ASSERT_TRUE(plotter.waitUntilIdle(5));

    const VirtualPlotterReport report = plotter.report();
    EXPECT_EQ(report.kept, job.substr(0, job.size() - 3))
        << "device-control instructions stay out of the buffer";
    EXPECT_EQ(report.received, 12 + job.size());
    EXPECT_EQ(report.lost, 0u);
    EXPECT_EQ(report.executed, report.kept.size());
    EXPECT_GT(report.finishedAt, 0.5);
    EXPECT_LT(report.finishedAt, 2.0);
}

// A fast line into a slow device: what arrives while the buffer is full is lost and ESC.E says so once,
// unless the device holds the sender with XOFF and the sender's end honours it.
TEST(VirtualPlotterTest, AFullBufferLosesBytesUnlessXonXoffHoldsTheSender)
{
    const std::string job = lines(150); // about 3,000 bytes
    for (const bool xonXoff : {false, true}) {
        SCOPED_TRACE(xonXoff);
        VirtualPlotterSettings settings;
        settings.baud = 115200;
        settings.penSpeed = 2000;
        settings.xonXoff = xonXoff;
        VirtualPlotter plotter(settings);
        ASSERT_TRUE(plotter.ok());
        Sender sender(plotter.path(), xonXoff);
        sender.send(job);
        ASSERT_TRUE(plotter.waitUntilIdle(30));
        sender.send("\x1B.E\x1B.E");
        const std::string errors = sender.answers();
        const VirtualPlotterReport report = plotter.report();
        EXPECT_EQ(report.received, job.size() + 6);
        if (xonXoff) {
            EXPECT_EQ(report.lost, 0u);
            EXPECT_EQ(report.kept, job);
            EXPECT_EQ(errors, "0\r0\r") << "the sender's end took XOFF and XON itself";
        } else {
            EXPECT_GT(report.lost, 1000u);
            EXPECT_EQ(report.kept.size() + report.lost, job.size());
            EXPECT_EQ(errors, "16\r0\r");
        }
        EXPECT_EQ(report.executed, report.kept.size());
    }
}

TEST(VirtualPlotterTest, AbortThrowsAwayTheBufferAndTheViewButtonSuspendsDrawing)
{
    VirtualPlotter plotter;
    ASSERT_TRUE(plotter.ok());
    Sender sender(plotter.path());
    plotter.setViewPressed(true);
    sender.send(lines(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    sender.send("\x1B.O");
    EXPECT_EQ(sender.answers(), "16\r") << "buffer not empty, VIEW pressed";
    EXPECT_EQ(plotter.report().executed, 0u);
    EXPECT_TRUE(plotter.report().drawing);

    sender.send("\x1B.K\x1B.O\x1B.B");
    EXPECT_EQ(sender.answers(), "24\r1024\r");
    plotter.setViewPressed(false);
    plotter.setLeverUp(true);
    sender.send("\x1B.O");
    EXPECT_EQ(sender.answers(), "40\r");
    const VirtualPlotterReport report = plotter.report();
    EXPECT_EQ(report.aborts, 1u);
    EXPECT_EQ(report.discarded, lines(10).size());
    EXPECT_FALSE(report.drawing);
}

TEST(VirtualPlotterTest, AnAnswerFilterStandsForADeviceThatAnswersWrongOrNotAtAll)
{
    VirtualPlotterSettings settings;
    settings.answerFilter = [](std::string_view request, const std::string& answer) -> std::string {
        if (request == "ESC.B")
            return "";
        return request == "OI" ? "garbage\x01\r" : answer;
    };
    VirtualPlotter plotter(settings);
    ASSERT_TRUE(plotter.ok());
    Sender sender(plotter.path());
    sender.send("\x1B.BOI;\x1B.L");
    EXPECT_EQ(sender.answers(), "garbage\x01\r1024\r") << "ESC.B goes unanswered";
    plotter.sendUnsolicited("\x13");
    EXPECT_EQ(sender.answers(), "\x13");
}

} // namespace
