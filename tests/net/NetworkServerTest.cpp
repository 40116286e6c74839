#include "NetworkServer.h"

using namespace nettest;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

TEST_F(NetworkServerTest, IppClientsOfCupsPrintAndTheJobsArePlottedUnderTheirNames)
{
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), (IPPTOOL_TESTS / "get-printer-attributes.test").string()},
                  "attributes.txt"),
              0)
        << TempDir::read(home.file("attributes.txt"));
    EXPECT_EQ(run(IPPTOOL,
                  {"-t", "-f", plotFile("foal.plt"), uri(), (IPPTOOL_TESTS / "print-job.test").string()},
                  "print-job.txt"),
              0)
        << TempDir::read(home.file("print-job.txt"));
    // CUPS's own IPP backend, as a CUPS queue pointed at the printer runs it; the job name is a path.
    ::setenv("DEVICE_URI", uri().c_str(), 1);
    EXPECT_EQ(
        run(IPP_BACKEND, {"1", "anna", "drawings/part 7.plt", "1", "", plotFile("part.plt")}, "backend.txt"),
        0)
        << TempDir::read(home.file("backend.txt"));
    ::unsetenv("DEVICE_URI");

    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/part 7.plt"))) << log();
    // ipptool's print test gives no job name: the system names it.
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/Untitled"))) << log();
    EXPECT_TRUE(fs::exists(home.file("Output/part 7.out")));
    EXPECT_EQ(TempDir::read(home.file("in/part 7.plt")), TempDir::read((PLOTS / "foal.hpgl").string()));
    // On loopback only, nobody else can reach it: no warning.
    EXPECT_THAT(log(), Not(HasSubstr("warning")));
}

TEST_F(NetworkServerTest, RawJobsArePlottedAndOtherDocumentsNeverReachTheQueue)
{
    const std::string drawing = TempDir::read((PLOTS / "foal.hpgl").string());
    sendRaw(rawPort, drawing);
    sendRaw(rawPort, "%PDF-1.4\n%not a plot\n");
    // A damaged image, undeclared and declared: the library's own image filters must not take it (its PNG
    // filter never ends on such a file, and the server could not stop).
    home.write("picture.bin", "\x89PNG\r\n\x1a\nnot a plot either");
    run(IPPTOOL, {"-t", "-f", home.file("picture.bin"), uri(), (IPPTOOL_TESTS / "print-job.test").string()},
        "print-job.txt");
    home.write("declared.test",
               ippRequest("Print-Job", " ATTR mimeMediaType document-format image/png\n FILE $filename\n"));
    run(IPPTOOL, {"-t", "-f", home.file("picture.bin"), uri(), home.file("declared.test")}, "declared.txt");

    ASSERT_TRUE(waitForLog("raw job refused: not HP-GL")) << log();
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/raw-"))) << log();
    EXPECT_EQ(count(log(), "job found: "), 1) << log();
    EXPECT_THAT(log(), Not(HasSubstr("IPP job received"))) << log();
    EXPECT_TRUE(fs::is_empty(home.file("in/.receiving")));
}

} // namespace

namespace {

// A stop signal at any moment of the start ends the server within moments, as a stop: never after a wait
// for a system the signal ended already, and never as a failure.
TEST_F(NetworkServerTest, AStopSignalDuringTheStartEndsTheServerPromptly)
{
    ::kill(server, SIGTERM);
    ASSERT_EQ(finishProgram(server, 10s), 0) << log();
    server = -1;
    for (int delayMs = 0; delayMs <= 700; delayMs += 100) {
        const pid_t starting = startProgram(SERVER, arguments_, home.file("log-start.txt"));
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        const auto signalled = std::chrono::steady_clock::now();
        ::kill(starting, SIGTERM);
        // Before the server takes the signal for itself, it simply ends by it (-1 here).
        EXPECT_NE(finishProgram(starting, 10s), 2) << delayMs << " ms\n"
                                                   << TempDir::read(home.file("log-start.txt"));
        EXPECT_LT(std::chrono::steady_clock::now() - signalled, 3s) << delayMs << " ms";
    }
}

} // namespace
