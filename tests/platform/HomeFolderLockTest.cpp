#include "platform/HomeFolderLock.h"

#include "TempDir.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

namespace {

using platform::HomeFolderLock;
using ::testing::HasSubstr;

TEST(HomeFolderLockTest, ASecondHolderIsRefusedWithTheHoldersProcessIdAndAMissingFolderWithTheReason)
{
    TempDir home;
    HomeFolderLock first;
    ASSERT_TRUE(first.take(home.path().string())) << first.refusal();
    EXPECT_TRUE(first.refusal().empty());

    HomeFolderLock second;
    EXPECT_FALSE(second.take(home.path().string() + "/"));
    EXPECT_FALSE(second.held());
    EXPECT_EQ(second.holder(), getpid());
    EXPECT_THAT(second.refusal(), HasSubstr("process id " + std::to_string(getpid())));

    first.release();
    EXPECT_TRUE(second.take(home.path().string()));
    EXPECT_TRUE(second.refusal().empty());

    // A folder that cannot hold the lock file is refused with the reason.
    EXPECT_FALSE(first.take(home.file("missing")));
    EXPECT_EQ(first.holder(), 0);
    EXPECT_THAT(first.refusal(), HasSubstr("cannot open the lock file"));
}

// A holder killed outright leaves no stale lock: the system drops it with the process.
TEST(HomeFolderLockTest, AKilledHolderLeavesTheLockFree)
{
    TempDir home;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        HomeFolderLock lock;
        const char taken = lock.take(home.path().string()) ? 'y' : 'n';
        (void)!write(ready[1], &taken, 1);
        pause();
        _exit(0);
    }
    char taken = 0;
    ASSERT_EQ(read(ready[0], &taken, 1), 1);
    ASSERT_EQ(taken, 'y');

    HomeFolderLock lock;
    EXPECT_FALSE(lock.take(home.path().string()));
    EXPECT_EQ(lock.holder(), child);

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(lock.take(home.path().string())) << lock.refusal();
    close(ready[0]);
    close(ready[1]);
}

} // namespace
