#include "platform/FileTime.h"

#include "TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// Central European time with its daylight saving rules, independent of the machine's zone files.
class FileTimeTest : public ::testing::Test {
protected:
    FileTimeTest()
    {
        const char* zone = std::getenv("TZ");
        previousZone = zone ? zone : "";
        hadZone = zone != nullptr;
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
    }
    ~FileTimeTest() override
    {
        if (hadZone)
            ::setenv("TZ", previousZone.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

    TempDir dir;
    std::string previousZone;
    bool hadZone = false;
};

} // namespace

TEST_F(FileTimeTest, LocalMidnightFollowsDaylightSaving)
{
    // 14:30:20 CET on 15 March 2024 -> 00:00 CET, 23:00 UTC the day before.
    EXPECT_EQ(localMidnight(1710509420), 1710457200);
    // Noon CEST on the day summer time starts -> midnight was still CET.
    EXPECT_EQ(localMidnight(1711879200), 1711839600);
    // 13:00 CET on the day summer time ends -> midnight was CEST.
    EXPECT_EQ(localMidnight(1730030400), 1729980000);
    EXPECT_TRUE(isLocalMidnight(1729980000));
    EXPECT_FALSE(isLocalMidnight(1729980001));
    EXPECT_FALSE(isLocalMidnight(1729980000 - 3600));
}

TEST_F(FileTimeTest, ADayWithoutMidnightStartsAtItsFirstSecond)
{
    // Chilean rules: summer time starts at 24:00 on the first Saturday of September, so 8 September 2024
    // has no 00:00 and begins at 01:00 (04:00 UTC).
    ::setenv("TZ", "<-04>4<-03>,M9.1.6/24,M4.1.6/24", 1);
    ::tzset();
    const std::time_t firstSecond = 1725768000;
    EXPECT_EQ(localMidnight(firstSecond + 11 * 3600), firstSecond);
    EXPECT_TRUE(isLocalMidnight(firstSecond));
    EXPECT_FALSE(isLocalMidnight(firstSecond - 1));
    EXPECT_FALSE(isLocalMidnight(firstSecond + 1));

    const std::string file = dir.write("day.plt", "IN;");
    ASSERT_TRUE(setFileModifiedTime(file, firstSecond + 11 * 3600));
    ASSERT_TRUE(setPlottedMark(file));
    EXPECT_TRUE(hasPlottedMark(file));
}

TEST_F(FileTimeTest, PlottedMarkMovesTheModifiedTimeToMidnightAndKeepsTheAccessTime)
{
    const std::string path = dir.write("A.PLT", "IN;");
    ASSERT_TRUE(setFileModifiedTime(path, 1710509420));
    EXPECT_FALSE(hasPlottedMark(path));
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    EXPECT_TRUE(setPlottedMark(path));
    EXPECT_EQ(fileModifiedTime(path), 1710457200);
    EXPECT_TRUE(hasPlottedMark(path));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_atim.tv_sec, before.st_atim.tv_sec);
    EXPECT_EQ(TempDir::read(path), "IN;");
}

TEST_F(FileTimeTest, MissingFilesAreFailuresNotMarks)
{
    const std::string missing = dir.file("missing.PLT");
    EXPECT_EQ(fileModifiedTime(missing), std::nullopt);
    EXPECT_FALSE(setFileModifiedTime(missing, 0));
    EXPECT_FALSE(setPlottedMark(missing));
    EXPECT_FALSE(hasPlottedMark(missing));
}

// A link is followed to read the plot only: the mark goes on the link, its target keeps its time, and a
// marked target does not make its link plotted.
TEST_F(FileTimeTest, ThePlottedMarkOfALinkIsTheLinksOwnAndLeavesItsTargetAlone)
{
    const std::string target = dir.write("elsewhere.plt", "IN;");
    ASSERT_TRUE(setFileModifiedTime(target, 1710509420));
    const std::string link = dir.file("link.plt");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);

    EXPECT_TRUE(setPlottedMark(link));
    EXPECT_TRUE(hasPlottedMark(link));
    EXPECT_EQ(fileModifiedTime(target), 1710509420);
    EXPECT_FALSE(hasPlottedMark(target));

    const std::string other = dir.file("other.plt");
    ASSERT_EQ(::symlink(target.c_str(), other.c_str()), 0);
    ASSERT_TRUE(setPlottedMark(target));
    EXPECT_FALSE(hasPlottedMark(other));
    EXPECT_TRUE(hasPlottedMark(link));
    EXPECT_EQ(TempDir::read(link), "IN;");
}
