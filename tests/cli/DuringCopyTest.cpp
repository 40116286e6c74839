// marquill-server while a file's copy is going out to a slow serial device (a pseudo-terminal read at a
// limited rate): the file is renamed, or written anew, in the middle of the copy.

#include "ChildProcess.h"
#include "MissingInput.h"
#include "PseudoTerminal.h"
#include "PtyReader.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";

int count(const std::string& text, const std::string& part)
{
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

// Lines across 100 mm, about 115 kB: more than the pseudo-terminal buffers, and two to three seconds of
// a device read at 40 kB/s.
std::string lines(int y)
{
    std::string text = "IN;SP1;";
    for (int i = 0; i < 6000; ++i)
        text += "PU0," + std::to_string(y + i % 400) + ";PD4000," + std::to_string(y + i % 400) + ";";
    return text;
}

class DuringCopyTest : public ::testing::Test {
protected:
    TempDir home;
    PseudoTerminal line;
    pid_t server = -1;

    void SetUp() override
    {
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        ASSERT_TRUE(line.ok());
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        fs::create_directory(home.path() / "in");
        home.write("Port.INI", "[PortMap]\nCOM1=" + line.slavePath() + "\n");
        home.write("Server.INI",
                   "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n[Receive]\nAReceivePath=" +
                       home.file("in") + "\nAutoDeleType=0\n");
    }
    void TearDown() override
    {
        if (server > 0)
            finishProgram(server, 0s);
    }

    std::string log() const { return TempDir::read(home.file("log.txt")); }
    bool waitForLog(const std::string& text, int times = 1) const
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (count(log(), text) < times) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    std::string deliver(const std::string& name, const std::string& bytes)
    {
        const std::string staged = home.write("." + name, bytes);
        fs::last_write_time(staged, fs::file_time_type::clock::now() - 1h);
        fs::rename(staged, home.file("in/" + name));
        return home.file("in/" + name);
    }

    void stop()
    {
        kill(server, SIGTERM);
        EXPECT_EQ(finishProgram(server, 10s), 0);
        server = -1;
    }
};

// Renamed while its copy goes out, the file is found under its new name with the content already sent:
// it is not plotted again, and the old name is no failed job.
TEST_F(DuringCopyTest, AFileRenamedDuringItsCopyIsNotPlottedAgainUnderItsNewName)
{
    PtyReader device(line.master(), 40000);
    const std::string job = deliver("job.plt", lines(0));
    server = startProgram(SERVER, {"--home", home.path().string(), "--port", "COM1"}, home.file("log.txt"));
    ASSERT_TRUE(waitForLog("copy 1/1 started: " + job)) << log();
    const std::string renamed = home.file("in/renamed.plt");
    fs::rename(job, renamed);
    ASSERT_TRUE(waitForLog("the same content was plotted already, not plotted again: " + renamed)) << log();
    // A later arrival makes one more scan and run.
    deliver("next.plt", lines(1000));
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/next.plt"))) << log();
    stop();
    EXPECT_EQ(count(log(), "copy 1/1 started: "), 2) << log();
    EXPECT_THAT(log(), Not(HasSubstr("started: " + renamed)));
    EXPECT_THAT(log(), Not(HasSubstr("job failed")));
    EXPECT_THAT(log(), Not(HasSubstr("written anew")));
}

// Written anew while its copy goes out, the file keeps no mark for the old content: the new drawing is a
// delivery of its own and is plotted after it, and only then marked.
TEST_F(DuringCopyTest, AFileWrittenAnewDuringItsCopyIsPlottedAgainWithItsNewContent)
{
    PtyReader device(line.master(), 40000);
    const std::string job = deliver("job.plt", lines(0));
    server = startProgram(SERVER, {"--home", home.path().string(), "--port", "COM1"}, home.file("log.txt"));
    ASSERT_TRUE(waitForLog("copy 1/1 started: " + job)) << log();
    std::ofstream(job, std::ios::binary | std::ios::trunc) << lines(1000);
    ASSERT_TRUE(waitForLog("marked plotted: " + job)) << log();
    stop();
    EXPECT_EQ(count(log(), "copy 1/1 finished: " + job), 2) << log();
    EXPECT_EQ(count(log(), "marked plotted: " + job), 1) << log();
    EXPECT_LT(log().find("written anew during its copy"), log().find("marked plotted: " + job)) << log();
}

} // namespace
