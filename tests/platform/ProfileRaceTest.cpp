#include "platform/Profile.h"

#include "TempDir.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <gmock/gmock.h>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

const std::string SAVED =
    "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=50000\n[Receive]\nAReceivePath=/srv/in\n";

// An editor saving the file in place, as many do: the file is truncated, then written anew, here in two
// writes cut in the middle of a line, with a little time between the steps.
void saveInPlace(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    std::this_thread::sleep_for(2ms);
    const std::size_t cut = SAVED.find("[Rec") + 4;
    ASSERT_EQ(::write(fd, SAVED.data(), cut), static_cast<ssize_t>(cut));
    std::this_thread::sleep_for(1ms);
    ASSERT_EQ(::write(fd, SAVED.data() + cut, SAVED.size() - cut), static_cast<ssize_t>(SAVED.size() - cut));
    ::close(fd);
}

// Reads and read-modify-writes racing an editor's saves never see the file torn: no default is taken for
// the count the file holds, and no write leaves out a section the editor wrote.
TEST(ProfileRaceTest, ASettingsFileSavedInPlaceMeanwhileIsNeverReadTornNorWrittenBackTorn)
{
    TempDir home;
    const std::string path = home.write("Server.INI", SAVED);
    ASSERT_EQ(platform::getProfileInt("SYSTEM", "REMAINMEDIALENGTH", 150000, path), 50000);

    std::atomic<bool> saving{true};
    std::thread editor([&] {
        for (int save = 0; save < 150; ++save) {
            saveInPlace(path);
            std::this_thread::sleep_for(3ms);
        }
        saving = false;
    });
    int reads = 0;
    int tornReads = 0;
    int tornWrites = 0;
    while (saving) {
        if (platform::getProfileInt("SYSTEM", "REMAINMEDIALENGTH", 150000, path) != 50000)
            ++tornReads;
        if (++reads % 4 == 0) {
            EXPECT_TRUE(platform::writeProfileString("SYSTEM", "MediaWidth", std::to_string(reads), path));
            if (platform::getProfileString("Receive", "AReceivePath", "", path) != "/srv/in")
                ++tornWrites;
        }
    }
    editor.join();
    EXPECT_EQ(tornReads, 0) << "of " << reads;
    EXPECT_EQ(tornWrites, 0) << "of " << reads / 4;
    EXPECT_THAT(TempDir::read(path), HasSubstr("[Receive]\nAReceivePath=/srv/in\n"));

    // A file its owner really emptied is read as empty after the moment's wait.
    TempDir::read(path);
    home.write("Server.INI", "");
    EXPECT_EQ(platform::getProfileInt("SYSTEM", "REMAINMEDIALENGTH", 150000, path), 150000);
    EXPECT_TRUE(platform::writeProfileString("SYSTEM", "REMAINMEDIALENGTH", "70", path));
    EXPECT_EQ(TempDir::read(path), "[SYSTEM]\nREMAINMEDIALENGTH=70\n");
}

} // namespace
