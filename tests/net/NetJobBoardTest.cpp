#include "net/NetJobBoard.h"

#include <poll.h>

#include <chrono>
#include <gmock/gmock.h>
#include <thread>

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using State = NetJobBoard::JobState;

namespace {

bool readable(int fd)
{
    pollfd poll = {fd, POLLIN, 0};
    return ::poll(&poll, 1, 0) == 1;
}

} // namespace

TEST(NetJobBoardTest, CopiesAreTakenUpOnceUnderEitherSpellingOfThePath)
{
    NetJobBoard board;
    EXPECT_FALSE(readable(board.wakeupFd()));
    board.received("/r/in//a.plt", 3);
    board.received("/r/in/b.plt", 0);
    EXPECT_TRUE(readable(board.wakeupFd()));
    board.drainWakeups();
    EXPECT_FALSE(readable(board.wakeupFd()));
    EXPECT_THAT(board.takeArrivals(), ElementsAre("/r/in//a.plt", "/r/in/b.plt"));
    EXPECT_THAT(board.takeArrivals(), IsEmpty());

    EXPECT_TRUE(board.isNetworkJob("/r/in/./a.plt"));
    EXPECT_EQ(board.takeCopies("/r/in/a.plt"), 3);
    EXPECT_EQ(board.takeCopies("/r/in/a.plt"), 0);
    // Fewer than one copy is one.
    EXPECT_EQ(board.takeCopies("/r/in/b.plt"), 1);
    EXPECT_EQ(board.takeCopies("/r/in/c.plt"), 0);
    board.forget("/r/in/a.plt");
    EXPECT_FALSE(board.isNetworkJob("/r/in/a.plt"));
}

TEST(NetJobBoardTest, ACancelIsPendingUntilTheJobHasEndedWhateverTheEnd)
{
    NetJobBoard board;
    board.received("/in/a.plt", 1);
    board.received("/in/b.plt", 1);
    board.drainWakeups();
    board.cancel("/in/unknown.plt");
    EXPECT_FALSE(board.cancelsPending());

    board.cancel("/in/a.plt");
    board.cancel("/in/a.plt");
    board.cancel("/in/b.plt");
    EXPECT_TRUE(readable(board.wakeupFd()));
    EXPECT_TRUE(board.cancelRequested("/in/a.plt"));
    board.update("/in/a.plt", {.state = State::Plotting, .copiesDone = 0, .text = ""});
    EXPECT_TRUE(board.cancelRequested("/in/a.plt"));
    // The last copy ended before the stop took: the job completed, and the cancel is over.
    board.update("/in/a.plt", {.state = State::Completed, .copiesDone = 1, .text = ""});
    EXPECT_FALSE(board.cancelRequested("/in/a.plt"));
    EXPECT_TRUE(board.cancelsPending());
    board.forget("/in/b.plt");
    EXPECT_FALSE(board.cancelsPending());

    // A job that has ended is not canceled any more, and forgetting it does not count twice.
    board.cancel("/in/a.plt");
    EXPECT_FALSE(board.cancelsPending());
    board.forget("/in/a.plt");
    EXPECT_FALSE(board.cancelsPending());
    NetJobBoard::JobStatus status;
    EXPECT_FALSE(board.status("/in/a.plt", status));
}

TEST(NetJobBoardTest, AWaitEndsWithTheQueuesNewsOrWhenTheBoardIsShut)
{
    NetJobBoard board;
    board.received("/in/a.plt", 2);
    std::thread queue([&board] {
        std::this_thread::sleep_for(50ms);
        board.update("/in/a.plt", {.state = State::Failed, .copiesDone = 1, .text = "port"});
    });
    const auto start = std::chrono::steady_clock::now();
    board.waitForNews(10s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    queue.join();
    NetJobBoard::JobStatus status;
    ASSERT_TRUE(board.status("/in/a.plt", status));
    EXPECT_EQ(status, (NetJobBoard::JobStatus{.state = State::Failed, .copiesDone = 1, .text = "port"}));

    board.shut();
    EXPECT_TRUE(board.isShut());
    const auto shutAt = std::chrono::steady_clock::now();
    board.waitForNews(10s);
    EXPECT_LT(std::chrono::steady_clock::now() - shutAt, 1s);
}

TEST(NetJobBoardTest, TheRollIsLowBelowATenthOfItsLengthWhenLoaded)
{
    NetJobBoard::PrinterStatus roll{.rollLeft = 1000, .rollLoaded = 10000};
    EXPECT_FALSE(roll.mediaLow());
    EXPECT_EQ(roll.rollPercent(), 10);
    roll.rollLeft = 999;
    EXPECT_TRUE(roll.mediaLow());
    EXPECT_EQ(roll.rollPercent(), 9);
    // Counts beyond the loaded length or below nothing stay within 0..100; no length known: unknown.
    roll.rollLeft = 20000;
    EXPECT_EQ(roll.rollPercent(), 100);
    roll.rollLeft = -50;
    EXPECT_EQ(roll.rollPercent(), 0);
    roll.rollLoaded = 0;
    EXPECT_FALSE(roll.mediaLow());
    EXPECT_EQ(roll.rollPercent(), -1);
}
