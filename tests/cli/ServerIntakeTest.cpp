#include "platform/FileTime.h"

#include "ServerHomeTest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <string>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::time_t ownModifiedTime(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mtim.tv_sec : -1;
}

// marquill-server --once over a home of its own (see ServerHomeTest) and a receive folder named by the
// test; its logs are kept apart, so that they are in no receive folder.
class ServerIntakeTest : public ServerHomeTest {
protected:
    TempDir logs;

    std::string logPath(const std::string& name) const override { return logs.file(name); }

    void setReceiveFolder(const std::string& folder, int autoDeleType)
    {
        ini.receive = folder;
        ini.autoDeleType = autoDeleType;
        fs::create_directories(folder);
        writeServerIni();
    }
    std::string plot() const { return realFile("arcs.hp"); }
};

// The receive folder set to the settings folder: the plot in it is plotted and cleaned up, the settings
// files (one even starting like a plot) are neither plotted, marked nor deleted, and a text file is said
// to be no plot, which makes --once end with 1.
TEST_F(ServerIntakeTest, TheSettingsFolderAsReceiveFolderPlotsOnlyItsPlots)
{
    setReceiveFolder(home.path().string(), 1);
    const std::string edition =
        home.write("Install.INI", "; IN and SP of this edition\n[Install]\nEdition=0\n");
    home.write(".Port.INI.77.0.tmp", "IN;PU0,0;PD100,0;");
    for (const char* name : {"Install.INI", "Plotter.INI", ".Port.INI.77.0.tmp"})
        fs::last_write_time(home.file(name), fs::file_time_type::clock::now() - 1h);
    const std::string job = deliver("job.plt", plot());
    ASSERT_EQ(serveOnce("first.txt"), 0) << log("first.txt");
    EXPECT_THAT(log("first.txt"), HasSubstr("finished: " + job));
    EXPECT_FALSE(fs::exists(job)) << log("first.txt");
    for (const char* name : {"Install.INI", "Plotter.INI", "Server.INI", "Journal.db", "Marquill.lock"}) {
        EXPECT_THAT(log("first.txt"), Not(HasSubstr(": " + home.file(name)))) << name;
        if (fs::exists(home.file(name))) {
            EXPECT_FALSE(platform::hasPlottedMark(home.file(name))) << name;
        }
    }
    EXPECT_TRUE(fs::exists(edition));
    EXPECT_TRUE(fs::exists(home.file("Plotter.INI")));
    EXPECT_TRUE(fs::exists(home.file(".Port.INI.77.0.tmp")));

    const std::string notes = deliver("notes.txt", "Plot the customer's job twice.\n");
    deliver("empty.plt", "");
    EXPECT_EQ(serveOnce("second.txt"), 1) << log("second.txt");
    EXPECT_THAT(log("second.txt"), HasSubstr("not listed, its first bytes are no plot: " + notes));
    EXPECT_THAT(log("second.txt"),
                HasSubstr("not listed, its first bytes are no plot: " + home.file("empty.plt")));
    EXPECT_TRUE(fs::exists(notes));
}

// A file named as a listed one but for letter case, a path too long for a job and a file that is still
// growing when --once's wait is over are each logged once with the reason, and --once ends with 1.
TEST_F(ServerIntakeTest, FilesThatCannotBeListedAreLoggedOnceAndEndOnceWithOne)
{
    setReceiveFolder(home.file(std::string(80, 'r')), 0);
    const std::string lower = deliver("job.plt", plot());
    const std::string upper = deliver("Job.plt", realFile("foal.hpgl"));
    const std::string longName = std::string(230, 'x') + ".plt";
    const std::string tooLong = deliver(longName, plot());
    ASSERT_GE(tooLong.size(), 300U);

    // The writer adds a stroke every half second for longer than --once waits.
    const std::string growing = (fs::path(ini.receive) / "growing.plt").string();
    std::ofstream(growing) << "IN;";
    std::atomic<bool> writing = true;
    std::thread writer([&] {
        for (int stroke = 0; writing && stroke < 60; ++stroke) {
            std::ofstream(growing, std::ios::app) << "PU0,0;PD" << stroke * 10 << ",100;";
            std::this_thread::sleep_for(500ms);
        }
    });
    const int status = serveOnce("once.txt");
    writing = false;
    writer.join();
    const std::string text = log("once.txt");
    EXPECT_EQ(status, 1) << text;
    // Job.plt sorts first, so it is the one listed.
    EXPECT_THAT(text, HasSubstr("finished: " + upper));
    EXPECT_EQ(
        count(text, "not listed, " + upper + " differs from it only in letter case and is listed: " + lower),
        1)
        << text;
    EXPECT_EQ(count(text, "not listed, its path of " + std::to_string(tooLong.size()) +
                              " bytes is longer than 299: " + tooLong),
              1)
        << text;
    EXPECT_EQ(count(text, "not listed, still being written after 10 s: " + growing), 1) << text;
    EXPECT_THAT(text, Not(HasSubstr("started: " + growing)));
}

// A receive folder the server may not read, or one that is a file, is said so, and --once ends with 1.
TEST_F(ServerIntakeTest, AnUnreadableReceiveFolderIsLoggedAndEndsOnceWithOne)
{
    if (::geteuid() != 0) {
        deliver("job.plt", plot());
        fs::permissions(ini.receive, fs::perms::none);
        const int status = serveOnce("denied.txt");
        fs::permissions(ini.receive, fs::perms::owner_all);
        EXPECT_EQ(status, 1) << log("denied.txt");
        EXPECT_THAT(log("denied.txt"),
                    HasSubstr("cannot read the receive folder: Permission denied: " + ini.receive));
    }
    fs::remove_all(ini.receive);
    home.write("in", "IN;");
    EXPECT_EQ(serveOnce("file.txt"), 1) << log("file.txt");
    EXPECT_THAT(log("file.txt"),
                HasSubstr("cannot read the receive folder: Not a directory: " + ini.receive));
}

// A link in the receive folder is read through, and the plotted mark goes on the link: the customer's
// file it points at keeps its time, and the next run knows the link as plotted.
TEST_F(ServerIntakeTest, ALinkIsPlottedThroughAndMarkedItselfNotItsTarget)
{
    fs::create_directory(home.path() / "elsewhere");
    const std::string customer = home.write("elsewhere/customer.plt", plot());
    const auto customerTime = fs::last_write_time(customer) - 2h;
    fs::last_write_time(customer, customerTime);
    const std::string link = (fs::path(ini.receive) / "customer.plt").string();
    fs::create_symlink(customer, link);
    const timespec old[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, link.c_str(), old, AT_SYMLINK_NOFOLLOW), 0);

    ASSERT_EQ(serveOnce("first.txt"), 0) << log("first.txt");
    EXPECT_THAT(log("first.txt"), HasSubstr("marked plotted: " + link));
    EXPECT_TRUE(fs::last_write_time(customer) == customerTime);
    EXPECT_TRUE(platform::isLocalMidnight(ownModifiedTime(link)));
    EXPECT_TRUE(fs::is_symlink(link));

    ASSERT_EQ(serveOnce("again.txt"), 0) << log("again.txt");
    EXPECT_THAT(log("again.txt"), HasSubstr("already plotted: " + link));
    EXPECT_THAT(log("again.txt"), Not(HasSubstr("started: " + link)));
}

} // namespace
