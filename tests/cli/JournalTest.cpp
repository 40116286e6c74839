#include "platform/FileTime.h"

#include "ChildProcess.h"
#include "MissingInput.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";
const std::string PLOT_TOOL = std::string(MARQUILL_BIN_DIR) + "/marquill-plot";
const fs::path PLOTS = MARQUILL_PLOTS_DIR;

int count(const std::string& text, const std::string& part)
{
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

// marquill-server and marquill-plot on a home folder of their own, as the journal sees them: the shipped
// device profiles, and a Chinese Server.INI whose automatic receive folder is in/ of the home.
class JournalTest : public ::testing::Test {
protected:
    TempDir home;
    std::string zone;

    void SetUp() override
    {
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        if (!fs::exists(PLOTS / "arcs.hp"))
            SKIP_WITHOUT_INPUT("no real plot files");
        const char* tz = std::getenv("TZ");
        zone = tz != nullptr ? tz : "";
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        fs::create_directory(home.path() / "in");
        writeServerIni(0);
    }
    void TearDown() override { setZone(zone); }

    static void setZone(const std::string& name)
    {
        if (name.empty())
            ::unsetenv("TZ");
        else
            ::setenv("TZ", name.c_str(), 1);
        ::tzset();
    }

    void writeServerIni(int autoDeleType)
    {
        home.write("Server.INI",
                   "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n[Receive]\nAReceivePath=" +
                       home.file("in") + "\nAutoDeleType=" + std::to_string(autoDeleType) + "\n");
    }

    // Runs the server over the receive folder once; returns its exit status.
    int serveOnce(const std::string& log)
    {
        return finishProgram(startProgram(SERVER, {"--home", home.path().string(), "--once"}, home.file(log)),
                             60s);
    }

    std::string log(const std::string& name) const { return TempDir::read(home.file(name)); }

    // Puts a file into the receive folder whole, an hour old; the server takes it 5 seconds after it sees it.
    std::string deliver(const std::string& name, const std::string& bytes)
    {
        const std::string staged = home.write("." + name, bytes);
        fs::last_write_time(staged, fs::file_time_type::clock::now() - 1h);
        fs::rename(staged, home.file("in/" + name));
        return home.file("in/" + name);
    }

    std::string realFile(const char* name) const { return TempDir::read((PLOTS / name).string()); }
    std::string serverIni() const { return TempDir::read(home.file("Server.INI")); }

    std::string history(const std::vector<std::string>& arguments, int expectedStatus = 0)
    {
        std::vector<std::string> all = {"--home", home.path().string(), "--history"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        EXPECT_EQ(finishProgram(startProgram(PLOT_TOOL, all, home.file("history.txt")), 30s), expectedStatus)
            << log("history.txt");
        return log("history.txt");
    }
};

// The server ended after the copy was sent and before the file got its mark, or a time zone that moves
// the mark off midnight: the journal knows the file was plotted, and it is not plotted again.
TEST_F(JournalTest, AFileTheJournalRecordsAsPlottedIsNotPlottedAgainWithoutItsMark)
{
    const std::string job = deliver("job.plt", realFile("arcs.hp"));
    const auto delivered = fs::last_write_time(job);
    ASSERT_EQ(serveOnce("first.txt"), 0) << log("first.txt");
    ASSERT_TRUE(platform::hasPlottedMark(job));
    const std::string afterCopy = serverIni();
    ASSERT_THAT(afterCopy, Not(HasSubstr("REMAINMEDIALENGTH=100000")));
    fs::remove(home.file("Output/job.out"));

    // As a kill between the copy and the mark leaves it.
    fs::last_write_time(job, delivered);
    ASSERT_EQ(serveOnce("again.txt"), 0) << log("again.txt");
    EXPECT_THAT(log("again.txt"), HasSubstr("the journal records this file as plotted: " + job));
    EXPECT_THAT(log("again.txt"), Not(HasSubstr("started: " + job)));
    EXPECT_FALSE(fs::exists(home.file("Output/job.out")));
    EXPECT_EQ(serverIni(), afterCopy);
    EXPECT_TRUE(platform::hasPlottedMark(job));

    // Marked under one zone, read under another whose midnight lies elsewhere.
    setZone("UTC");
    const std::string other = deliver("other.plt", realFile("foal.hpgl"));
    ASSERT_EQ(serveOnce("utc.txt"), 0) << log("utc.txt");
    ASSERT_TRUE(platform::hasPlottedMark(other));
    const std::string afterUtc = serverIni();
    setZone("CET-1CEST,M3.5.0,M10.5.0/3");
    ASSERT_FALSE(platform::hasPlottedMark(other));
    ASSERT_EQ(serveOnce("berlin.txt"), 0) << log("berlin.txt");
    EXPECT_THAT(log("berlin.txt"), Not(HasSubstr("started: " + other)));
    EXPECT_EQ(serverIni(), afterUtc);
}

// A file copied in with its times kept (midnight) is listed as plotted, as the mark says, but the clean-up
// leaves it: the journal never recorded it plotted. A file the journal records is deleted.
TEST_F(JournalTest, TheCleanUpDeletesOnlyWhatTheJournalRecordsAsPlotted)
{
    writeServerIni(1);
    const std::string copied = deliver("copied.plt", realFile("arcs.hp"));
    platform::setFileModifiedTime(copied, platform::localMidnight(std::time(nullptr) - 86400));
    const std::string plotted = deliver("plotted.plt", realFile("foal.hpgl"));
    ASSERT_EQ(serveOnce("once.txt"), 0) << log("once.txt");
    EXPECT_THAT(log("once.txt"), HasSubstr("already plotted: " + copied));
    EXPECT_TRUE(fs::exists(copied)) << log("once.txt");
    EXPECT_FALSE(fs::exists(plotted)) << log("once.txt");
    EXPECT_THAT(history({}), HasSubstr("plotted.plt"));
}

// A drawing exported again under the same name right after its copy is a new delivery and is plotted.
TEST_F(JournalTest, AFileWrittenAnewRightAfterItsCopyIsPlottedAgain)
{
    const std::string job = deliver("job.plt", realFile("arcs.hp"));
    const std::vector<std::string> arguments = {"--home", home.path().string()};
    const pid_t server = startProgram(SERVER, arguments, home.file("log.txt"));
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (count(log("log.txt"), "marked plotted: " + job) < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    std::ofstream(job, std::ios::binary | std::ios::trunc) << realFile("foal.hpgl");
    while (count(log("log.txt"), "marked plotted: " + job) < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    kill(server, SIGTERM);
    EXPECT_EQ(finishProgram(server, 10s), 0);
    EXPECT_EQ(count(log("log.txt"), "finished: " + job), 2) << log("log.txt");
}

// The history reads back what marquill-plot plotted: one line per copy with its media and result, as a
// table or as comma-separated values, from a date on.
TEST_F(JournalTest, TheHistoryListsEveryCopyWithItsMediaAndResult)
{
    const std::string plot = home.write("frame.plt", "IN;PU0,0;PD4000,0,4000,2000;");
    const std::vector<std::string> arguments = {"--home", home.path().string(),   "--copies", "2",
                                                "--port", home.file("frame.out"), plot};
    ASSERT_EQ(finishProgram(startProgram(PLOT_TOOL, arguments, home.file("plot.txt")), 60s), 0)
        << log("plot.txt");
    ASSERT_EQ(
        finishProgram(startProgram(PLOT_TOOL, {"--home", home.path().string(), "--port", "/dev/full", plot},
                                   home.file("full.txt")),
                      60s),
        1);

    const std::string csv = history({"--csv"});
    std::vector<std::string> lines;
    std::istringstream stream(csv);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u) << csv;
    EXPECT_EQ(lines[0], "started,ended,file,copy,copies,media_mm,result,text,sha256");
    EXPECT_THAT(lines[1], HasSubstr("," + plot + ",1,2,100,sent,,"));
    EXPECT_THAT(lines[2], HasSubstr("," + plot + ",2,2,100,sent,,"));
    EXPECT_THAT(lines[3], HasSubstr("," + plot + ",1,1,0,failed,"));
    EXPECT_THAT(lines[3], HasSubstr("/dev/full"));
    // The content stamp is the same for all three.
    EXPECT_EQ(lines[1].substr(lines[1].size() - 64), lines[3].substr(lines[3].size() - 64));

    EXPECT_THAT(history({}), HasSubstr("copy 2/2     100 mm  sent      " + plot));
    EXPECT_EQ(history({"--since", "2999-01-01", "--csv"}), lines[0] + "\n");
    history({"--since", "yesterday"}, 2);
}

} // namespace

namespace {

// A SIGTERM that comes while a large file is still loading ends the server before the copy begins: nothing
// is sent and the roll count is as it was.
TEST_F(JournalTest, AStopWhileALargeFileLoadsSendsNothing)
{
    std::string drawing = "IN;SP1;";
    for (int i = 0; i < 400000; ++i)
        drawing += "PU" + std::to_string(i % 4000) + ",0;PD" + std::to_string(i % 4000) + ",400;";
    const pid_t server = startProgram(SERVER, {"--home", home.path().string()}, home.file("log.txt"));
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (count(log("log.txt"), "started") < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    const std::string job = deliver("large.plt", drawing);
    while (count(log("log.txt"), "job found: " + job) < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    kill(server, SIGTERM);
    EXPECT_EQ(finishProgram(server, 30s), 0);
    EXPECT_THAT(log("log.txt"), Not(HasSubstr("started: " + job)));
    EXPECT_THAT(serverIni(), HasSubstr("REMAINMEDIALENGTH=100000"));
    EXPECT_FALSE(fs::exists(home.file("Output/large.out")));
}

} // namespace
