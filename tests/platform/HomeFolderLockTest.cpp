#include "platform/HomeFolderLock.h"

#include "TempDir.h"

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

} // namespace
