#include "jobs/FileSettle.h"
#include "TempDir.h"
#include "jobs/CReceiveFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A receive folder that settles files on what its scans see over a clock the test moves by hand.
class FileSettleTest : public ::testing::Test {
protected:
    TempDir dir;
    FileSettle::TimePoint now{};
    std::set<std::string> listed;
    CReceiveFolder folder{[this] { return now; }};

    std::vector<std::string> scan()
    {
        return folder.scan(dir.path().string(),
                           [this](const std::string& path) { return listed.count(path) != 0; });
    }
};

TEST_F(FileSettleTest, AFileIsReadyOnlyAfterFiveSecondsUnchangedWhateverItsTimesSay)
{
    const std::string path = dir.write("job.plt", "IN;");
    // Written a long time ago by its clock, and still not taken at first sight.
    fs::last_write_time(path, fs::file_time_type::clock::now() - 24h);
    EXPECT_TRUE(scan().empty());
    ASSERT_TRUE(folder.nextSettle().has_value());
    EXPECT_EQ(*folder.nextSettle(), now + 5s);
    now += 4900ms;
    EXPECT_TRUE(scan().empty());

    // Grown, with its old time put back: the five seconds start again.
    dir.write("job.plt", "IN;PU0,0;PD100,100;");
    fs::last_write_time(path, fs::file_time_type::clock::now() - 24h);
    now += 200ms;
    EXPECT_TRUE(scan().empty());
    now += 4900ms;
    EXPECT_TRUE(scan().empty());
    now += 100ms;
    EXPECT_EQ(scan(), std::vector<std::string>{path});
    EXPECT_FALSE(folder.nextSettle().has_value());

    // A time a day ahead of every clock changes nothing either.
    const std::string ahead = dir.write("ahead.plt", "IN;");
    fs::last_write_time(ahead, fs::file_time_type::clock::now() + 24h);
    listed.insert(path);
    EXPECT_TRUE(scan().empty());
    now += 5s;
    EXPECT_EQ(scan(), std::vector<std::string>{ahead});
}

TEST_F(FileSettleTest, AFileGoneBetweenScansIsForgottenAndStartsAgainWhenItIsBack)
{
    FileSettle settle([this] { return now; });
    const SeenFile file{1, 10, 100, 100};
    EXPECT_FALSE(settle.settled("a", file));
    settle.endScan();
    now += 3s;
    // Not looked at in this scan: gone.
    settle.endScan();
    EXPECT_FALSE(settle.nextSettle().has_value());
    now += 3s;
    EXPECT_FALSE(settle.settled("a", file));
    settle.endScan();
    now += 5s;
    // Only the status change time moved: a write with the old times put back.
    EXPECT_FALSE(settle.settled("a", SeenFile{1, 10, 100, 101}));
    now += 5s;
    EXPECT_TRUE(settle.settled("a", SeenFile{1, 10, 100, 101}));
}

} // namespace
