#include "NetworkServer.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace nettest;

namespace {

const std::string SOCKET_BACKEND = "/usr/lib/cups/backend/socket";
const std::string CUPSD = "/usr/sbin/cupsd";
const std::string LPADMIN = "/usr/sbin/lpadmin";
const std::string LP = "/usr/bin/lp";
const std::string LPSTAT = "/usr/bin/lpstat";

using NetworkRealClientsTest = NetworkServerTest;

TEST_F(NetworkRealClientsTest, TheIpp11SuiteOfCupsPasses)
{
    // Print-URI and Send-URI are not offered; the suite skips them.
    EXPECT_EQ(run(IPPTOOL,
                  {"-c", "-t", "-f", plotFile("suite.plt"), uri(), (IPPTOOL_TESTS / "ipp-1.1.test").string()},
                  "suite.txt"),
              0)
        << TempDir::read(home.file("suite.txt"));
    // Every job it sent has ended: none is left processing or pending.
    home.write("ended.test",
               "{\n OPERATION Get-Jobs\n GROUP operation-attributes-tag\n"
               " ATTR charset attributes-charset utf-8\n"
               " ATTR naturalLanguage attributes-natural-language en\n ATTR uri printer-uri $uri\n"
               " ATTR keyword which-jobs not-completed\n STATUS successful-ok\n"
               " EXPECT !job-id REPEAT-LIMIT 60 REPEAT-NO-MATCH\n}\n");
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), home.file("ended.test")}, "ended.txt"), 0)
        << TempDir::read(home.file("ended.txt")) << log();
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), (IPPTOOL_TESTS / "get-jobs.test").string()}, "get-jobs.txt"), 0)
        << TempDir::read(home.file("get-jobs.txt"));
}

TEST_F(NetworkRealClientsTest, TheSocketBackendOfCupsPlotsOnTheRawPort)
{
    if (!fs::exists(SOCKET_BACKEND))
        SKIP_WITHOUT_INPUT("the CUPS socket backend is not installed");
    ::setenv("DEVICE_URI", ("socket://127.0.0.1:" + std::to_string(rawPort)).c_str(), 1);
    // A backend takes descriptors 3 and 4 for the channels cupsd gives it: none may be open when it starts.
    EXPECT_EQ(run("/bin/sh",
                  {"-c", "exec 3<&- 4<&-; exec \"$0\" \"$@\"", SOCKET_BACKEND, "7", "anna", "part", "1", "",
                   plotFile("part.plt")},
                  "socket.txt"),
              0)
        << TempDir::read(home.file("socket.txt"));
    ::unsetenv("DEVICE_URI");
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/raw-")))
        << log() << TempDir::read(home.file("socket.txt"));
}

// A cupsd of the test's own, on a loopback port, with a raw queue pointing at the printer: lp -o raw.
TEST_F(NetworkRealClientsTest, AJobPrintedThroughACupsQueueIsPlotted)
{
    for (const std::string& program : {CUPSD, LPADMIN, LP, LPSTAT})
        if (!fs::exists(program))
            SKIP_WITHOUT_INPUT(program + " is not installed");
    const fs::path cups = home.path() / "cups";
    for (const char* folder : {"root", "spool", "cache", "state", "log"})
        fs::create_directories(cups / folder);
    // cupsd run by root takes on the user lp, which must reach its folders.
    ::chmod(home.path().c_str(), 0755);
    const bool root = ::geteuid() == 0;
    const std::string cupsPort = std::to_string(freePort());
    home.write("cups/root/cupsd.conf",
               "Listen 127.0.0.1:" + cupsPort +
                   "\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                   "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                   "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                   "</Policy>\n");
    const std::string folder = cups.string();
    home.write("cups/root/cups-files.conf",
               "ServerRoot " + folder + "/root\nRequestRoot " + folder + "/spool\nCacheDir " + folder +
                   "/cache\nStateDir " + folder + "/state\nTempDir " + folder + "/spool\nErrorLog " + folder +
                   "/log/error_log\nAccessLog " + folder + "/log/access_log\nPageLog " + folder +
                   "/log/page_log\nSystemGroup root\nSandboxing Relaxed\n" +
                   (root ? "User lp\nGroup lp\n"
                         : "User " + std::string(::getlogin() ? ::getlogin() : "nobody") + "\n"));
    for (const auto& entry : fs::recursive_directory_iterator(cups))
        ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
    const pid_t cupsd =
        startProgram(CUPSD, {"-f", "-c", folder + "/root/cupsd.conf", "-s", folder + "/root/cups-files.conf"},
                     home.file("cupsd.txt"));
    const std::string host = "127.0.0.1:" + cupsPort;
    bool running = false;
    for (int tries = 0; tries < 100 && !running; ++tries) {
        std::this_thread::sleep_for(100ms);
        running = run(LPSTAT, {"-h", host, "-r"}, "lpstat.txt") == 0 &&
                  TempDir::read(home.file("lpstat.txt")).find("is running") != std::string::npos;
    }
    if (!running) {
        ::kill(cupsd, SIGTERM);
        finishProgram(cupsd, 10s);
        SKIP_WITHOUT_INPUT("cupsd cannot run here: " + TempDir::read(home.file("cupsd.txt")) +
                           TempDir::read(folder + "/log/error_log"));
    }
    EXPECT_EQ(run(LPADMIN, {"-h", host, "-p", "plotter", "-E", "-v", uri(), "-m", "raw"}, "lpadmin.txt"), 0)
        << TempDir::read(home.file("lpadmin.txt"));
    EXPECT_EQ(run(LP, {"-h", host, "-d", "plotter", "-o", "raw", "-t", "from-cups.plt", plotFile("cups.plt")},
                  "lp.txt"),
              0)
        << TempDir::read(home.file("lp.txt"));
    EXPECT_TRUE(waitForLog("marked plotted: " + home.file("in/from-cups.plt")))
        << log() << TempDir::read(folder + "/log/error_log");
    ::kill(cupsd, SIGTERM);
    EXPECT_EQ(finishProgram(cupsd, 10s), 0);
}

} // namespace
