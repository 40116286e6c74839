#include "ports/BufferQuery.h"
#include "ports/DeviceReply.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <chrono>
#include <deque>
#include <functional>
#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

// A device answering each request through a function; what it answers waits to be read.
class ScriptedLine : public DeviceLine {
public:
    std::function<std::string(std::string_view request)> device;
    std::vector<std::string> requests;
    bool hungUp = false;
    // When the stop command comes.
    Clock::time_point stopAt = Clock::time_point::max();

    bool sendRequest(std::string_view bytes) override
    {
        requests.emplace_back(bytes);
        for (const char c : device(bytes))
            input_.push_back(c);
        return !hungUp;
    }
    long receive(char* into, std::size_t size, int) override
    {
        if (input_.empty())
            return hungUp ? -1 : 0;
        long got = 0;
        for (; got < static_cast<long>(size) && !input_.empty(); ++got) {
            into[got] = input_.front();
            input_.pop_front();
        }
        return got;
    }
    bool keepGoing() override { return Clock::now() < stopAt; }

private:
    std::deque<char> input_;
};

// A device of 1,024 bytes whose free space, status and error a test sets.
struct FakePlotter {
    long free = 1024;
    long status = 8;
    long error = 0;
    std::string operator()(std::string_view request) const
    {
        if (request == "\x1B.L")
            return "1024\r";
        if (request == "\x1B.B")
            return std::to_string(free) + "\r";
        if (request == "\x1B.O")
            return std::to_string(status) + "\r";
        if (request == "\x1B.E")
            return std::to_string(error) + "\r";
        return request == "OA;" ? "0,0,0\r" : "";
    }
};

TEST(BufferQueryTest, SendsNoMoreThanTheDeviceHasRoomForAndAsksAgainOnlyWhenThatIsUsed)
{
    ScriptedLine line;
    FakePlotter plotter;
    line.device = std::ref(plotter);
    BufferQuery query(line, 960);
    ASSERT_EQ(query.begin(), BufferQuery::Outcome::Done);
    EXPECT_EQ(query.bufferSize(), 1024u);

    plotter.free = 300;
    std::size_t allowed = 0;
    ASSERT_EQ(query.allowance(500, allowed), BufferQuery::Outcome::Done);
    EXPECT_EQ(allowed, 300u);
    query.sent(200);
    ASSERT_EQ(query.allowance(500, allowed), BufferQuery::Outcome::Done);
    EXPECT_EQ(allowed, 100u) << "the rest of the room, without asking";
    query.sent(100);
    plotter.free = 2000; // more than the buffer holds: taken as its size
    ASSERT_EQ(query.allowance(5000, allowed), BufferQuery::Outcome::Done);
    EXPECT_EQ(allowed, 1024u);
    EXPECT_THAT(line.requests, ElementsAre("\x1B.L", "\x1B.B", "\x1B.B"));
}

// While the buffer is full the writer waits; a device paused at its VIEW button is told of, not failed,
// and the stop command ends the wait.
TEST(BufferQueryTest, AFullOrPausedDeviceIsWaitedForUntilTheStop)
{
    ScriptedLine line;
    FakePlotter plotter;
    line.device = std::ref(plotter);
    std::vector<std::string> told;
    BufferQuery query(line, 0);
    query.setNotice([&told](const std::string& text) { told.push_back(text); });
    ASSERT_EQ(query.begin(), BufferQuery::Outcome::Done);
    plotter.free = 0;
    plotter.status = 16;
    line.stopAt = Clock::now() + std::chrono::milliseconds(1500);
    std::size_t allowed = 0;
    EXPECT_EQ(query.allowance(100, allowed), BufferQuery::Outcome::Stopped);
    EXPECT_EQ(allowed, 0u);
    EXPECT_THAT(told, ElementsAre(strings::localString(strings::IDS_DEVICE_VIEW_PRESSED)));

    line.stopAt = Clock::time_point::max();
    plotter.free = 10;
    plotter.status = 0;
    plotter.error = 16;
    told.clear();
    const auto start = Clock::now();
    EXPECT_EQ(query.allowance(100, allowed), BufferQuery::Outcome::Failed);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(query.failure(), strings::resultString(strings::IDS_DEVICE_BUFFER_OVERFLOW));
}

// Every bad answer has a defined result: one more question, then the reason; never a wait past the bound.
TEST(BufferQueryTest, BadAnswersGetOneRetryThenFailWithTheReason)
{
    const std::string noAnswer = strings::resultString(strings::IDS_DEVICE_NO_ANSWER);
    auto badAnswer = [](const std::string& shown) {
        return fillPlaceholders(strings::resultString(strings::IDS_DEVICE_BAD_ANSWER), {shown});
    };
    struct Case {
        const char* what;
        std::vector<std::string> answers; // to the first and second question
        std::string failure;              // empty: the size is read as 1024
    };
    const std::vector<Case> cases = {
        {"silent", {"", ""}, noAnswer},
        {"garbage twice", {"x?\r", "x?\r"}, badAnswer("x?")},
        {"garbage, then right", {"x?\r", "1024\r"}, ""},
        {"another number format", {" +1024.00 \r"}, ""},
        {"a negative number", {"-5\r", "-5\r"}, badAnswer("-5")},
        {"an echo and XOFF first",
         {"\x1B.L\r\x13"
          "1024\n"},
         ""},
        {"an endless reply",
         {std::string(500, '7'), std::string(500, '7')},
         badAnswer(std::string(32, '7') + "...")},
        {"bytes beyond ASCII", {"\xE9\r", "\xE9\r"}, badAnswer("\\xE9")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedLine line;
        std::size_t asked = 0;
        line.device = [&](std::string_view) { return asked < c.answers.size() ? c.answers[asked++] : ""; };
        BufferQuery query(line, 0);
        const auto start = Clock::now();
        const BufferQuery::Outcome outcome = query.begin();
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
        if (c.failure.empty()) {
            EXPECT_EQ(outcome, BufferQuery::Outcome::Done) << query.failure();
            EXPECT_EQ(query.bufferSize(), 1024u);
        } else {
            EXPECT_EQ(outcome, BufferQuery::Outcome::Failed);
            EXPECT_EQ(query.failure(), c.failure);
            EXPECT_EQ(line.requests.size(), 2u);
        }
    }

    ScriptedLine line;
    line.device = [](std::string_view) { return "10"; };
    line.hungUp = true;
    BufferQuery query(line, 0);
    EXPECT_EQ(query.begin(), BufferQuery::Outcome::Failed);
    EXPECT_EQ(query.failure(), strings::resultString(strings::IDS_PORT_HUNG_UP));
}

// The end of a pass waits until the buffer is empty, tells that the device is drawing meanwhile, checks
// that nothing was lost on the way and asks the pen position last.
TEST(BufferQueryTest, TheEndIsConfirmedOnceTheBufferIsEmptyAndTheDeviceReportsNoError)
{
    for (const long error : {0L, 15L}) {
        ScriptedLine line;
        FakePlotter plotter;
        int questions = 0;
        line.device = [&](std::string_view request) {
            if (request == "\x1B.B" && ++questions == 3)
                plotter.free = 1024;
            return plotter(request);
        };
        std::vector<std::string> told;
        BufferQuery query(line, 0);
        query.setNotice([&told](const std::string& text) { told.push_back(text); });
        ASSERT_EQ(query.begin(), BufferQuery::Outcome::Done);
        plotter.free = 100;
        plotter.error = error;
        if (error == 0) {
            EXPECT_EQ(query.confirmEnd(), BufferQuery::Outcome::Done);
            EXPECT_EQ(line.requests.back(), "OA;");
        } else {
            EXPECT_EQ(query.confirmEnd(), BufferQuery::Outcome::Failed);
            EXPECT_EQ(query.failure(), strings::resultString(strings::IDS_DEVICE_LINE_ERROR));
        }
        EXPECT_EQ(questions, 3);
        EXPECT_THAT(told, ElementsAre(strings::localString(strings::IDS_DEVICE_DRAWING)));
    }
}

TEST(BufferQueryTest, RepliesAreReadAsWholeNumbersOnly)
{
    EXPECT_EQ(replyNumber("1024"), 1024);
    EXPECT_EQ(replyNumber("  7 "), 7);
    EXPECT_EQ(replyNumber("+12.5"), 12);
    EXPECT_EQ(replyNumber("0"), 0);
    for (const char* bad : {"", " ", "-1", "12a", "1,024", "1234567890", ".5", "+"})
        EXPECT_FALSE(replyNumber(bad)) << bad;
}

} // namespace
