// What marquill-server's log says of deletions, file names with control characters, the port after a
// reload and a roll count that cannot be saved.

#include "ChildProcess.h"
#include "MissingInput.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";
const std::string FRAME = "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;";

class ServerLogTest : public ::testing::Test {
protected:
    TempDir home;
    pid_t server = -1;

    void SetUp() override
    {
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        fs::create_directory(home.path() / "in");
        home.write("Server.INI",
                   "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n[Receive]\nAReceivePath=" +
                       home.file("in") + "\nAutoDeleType=1\n");
    }
    void TearDown() override
    {
        if (server > 0)
            finishProgram(server, 0s);
    }

    std::string log() const { return TempDir::read(home.file("log.txt")); }
    bool waitForLog(const std::string& text) const
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (log().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    void start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> all = {"--home", home.path().string()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        server = startProgram(SERVER, all, home.file("log.txt"));
    }
    int stop()
    {
        kill(server, SIGTERM);
        const int status = finishProgram(server, 10s);
        server = -1;
        return status;
    }

    std::string deliver(const std::string& name)
    {
        const std::string staged = home.write(".staged", FRAME);
        fs::last_write_time(staged, fs::file_time_type::clock::now() - 1h);
        fs::rename(staged, home.file("in/" + name));
        return home.file("in/" + name);
    }
};

// A name with a newline cannot forge a log line, and the clean-up says what it deleted.
TEST_F(ServerLogTest, DeletionsAreLoggedAndControlCharactersInNamesAreEscaped)
{
    const std::string job = deliver("a\nplotted: b\t.plt");
    start({"--once"});
    ASSERT_EQ(finishProgram(server, 30s), 0) << log();
    server = -1;
    EXPECT_FALSE(fs::exists(job));
    const std::string shown = home.file("in/a\\nplotted: b\\t.plt");
    EXPECT_THAT(log(), HasSubstr("deleted, plotted and old enough for AutoDeleType 1: " + shown)) << log();
    std::istringstream lines(log());
    for (std::string line; std::getline(lines, line);)
        EXPECT_THAT(line, StartsWith("20")) << log();
}

// --port stays the port in use through a reload, and the log names it.
TEST_F(ServerLogTest, AReloadNamesThePortGivenOnTheCommandLine)
{
    const std::string output = home.file("device.plt");
    start({"--port", output});
    ASSERT_TRUE(waitForLog("started")) << log();
    kill(server, SIGHUP);
    ASSERT_TRUE(waitForLog("settings reloaded")) << log();
    EXPECT_THAT(log(), HasSubstr("port " + output + ", media left")) << log();
    EXPECT_THAT(log(), Not(HasSubstr("port File")));
    EXPECT_EQ(stop(), 0);
}

// Server.INI cannot be replaced (its temporary names are taken): the failure is said once, not at every
// scan, and the exit says that the count it shows was not saved.
TEST_F(ServerLogTest, ARollCountThatCannotBeSavedIsSaidOnceAndAtExit)
{
    start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    for (int n = 0; n < 200; ++n)
        fs::create_directory(
            home.file(".Server.INI." + std::to_string(server) + "." + std::to_string(n) + ".tmp"));
    const std::string job = deliver("frame.plt");
    ASSERT_TRUE(waitForLog("marked plotted: " + job)) << log();
    // Two scans more.
    deliver("other.plt");
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/other.plt"))) << log();
    EXPECT_EQ(stop(), 0);
    const std::string text = log();
    std::size_t said = 0;
    for (std::size_t at = text.find("cannot write the media left"); at != std::string::npos;
         at = text.find("cannot write the media left", at + 1))
        ++said;
    EXPECT_EQ(said, 1u) << text;
    EXPECT_THAT(text, HasSubstr("exit: media left 99800 mm, not saved: " + home.file("Server.INI"))) << text;
    EXPECT_THAT(TempDir::read(home.file("Server.INI")), HasSubstr("REMAINMEDIALENGTH=100000"));
}

// A job whose file is gone is taken off the list: the list does not grow with every job ever plotted, and
// a file delivered later under the same name is a new job.
TEST_F(ServerLogTest, AJobWhoseFileIsGoneIsTakenOffTheList)
{
    home.write("Server.INI", "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n[Receive]\nAReceivePath=" +
                                 home.file("in") + "\nAutoDeleType=0\n");
    start({});
    ASSERT_TRUE(waitForLog("started")) << log();
    const std::string job = deliver("a.plt");
    ASSERT_TRUE(waitForLog("marked plotted: " + job)) << log();
    fs::remove(job);
    // The next arrival makes a scan.
    deliver("b.plt");
    ASSERT_TRUE(waitForLog("taken off the list, its file is gone: " + job)) << log();
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/b.plt"))) << log();
    const std::string staged = home.write(".again", "IN;SP1;PU0,0;PD2000,0;");
    fs::last_write_time(staged, fs::file_time_type::clock::now() - 1h);
    fs::rename(staged, job);
    const auto times = [this](const std::string& text) {
        const std::string all = log();
        int found = 0;
        for (std::size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++found;
        return found;
    };
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (times("marked plotted: " + job) < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(stop(), 0);
    EXPECT_EQ(times("job found: " + job), 2) << log();
    EXPECT_THAT(log(), Not(HasSubstr("job found again")));
}

} // namespace
