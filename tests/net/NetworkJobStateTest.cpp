#include "NetworkServer.h"

#include <sys/socket.h>

#include <fstream>

using namespace nettest;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// A Print-Job with the job attributes given; the job's id is kept for the requests after it.
std::string printJob(const std::string& jobAttributes, const std::string& name = "")
{
    return ippRequest("Print-Job", (name.empty() ? "" : " ATTR name job-name \"" + name + "\"\n") +
                                       " ATTR mimeMediaType document-format application/octet-stream\n"
                                       " GROUP job-attributes-tag\n" +
                                       jobAttributes + " FILE $filename\n STATUS successful-ok\n");
}

// Asks for the job until its state is the one given (a repeated request, for at most 30 s).
std::string jobEndsIn(int state, const std::string& expectations = "")
{
    return ippRequest("Get-Job-Attributes", " ATTR integer job-id $job-id\n STATUS successful-ok\n"
                                            " EXPECT job-state WITH-VALUE " +
                                                std::to_string(state) +
                                                " REPEAT-LIMIT 120 REPEAT-NO-MATCH\n" + expectations);
}

constexpr int COMPLETED = 9;
constexpr int ABORTED = 8;
constexpr int CANCELED = 7;
constexpr int PROCESSING = 5;

class NetworkJobStateTest : public NetworkServerTest {
protected:
    // Runs ipptool with the requests on the plot file, or on a file of the given bytes; its output on
    // failure.
    std::string ipptool(const std::string& requests, const std::string& bytes = "")
    {
        home.write("requests.test", requests);
        std::string document = home.file("drawing.plt");
        if (!bytes.empty()) {
            document = home.file("document.bin");
            home.write("document.bin", bytes);
        } else if (!fs::exists(document)) {
            fs::copy_file(PLOTS / "foal.hpgl", document);
        }
        const int status =
            run(IPPTOOL, {"-t", "-f", document, uri(), home.file("requests.test")}, "ipptool.txt");
        return status == 0 ? "" : TempDir::read(home.file("ipptool.txt"));
    }
};

TEST_F(NetworkJobStateTest, CopiesArePlottedAndTheJobCompletesWhenAllAreDone)
{
    EXPECT_EQ(ipptool(printJob(" ATTR integer copies 3\n", "../x/..drawing.plt") +
                      jobEndsIn(COMPLETED, " EXPECT job-impressions-completed WITH-VALUE 3\n")),
              "");
    EXPECT_EQ(count(log(), "finished: " + home.file("in/drawing.plt")), 3) << log();
    // The same name again is a job of its own.
    EXPECT_EQ(ipptool(printJob("", "drawing.plt") + jobEndsIn(COMPLETED)), "");
    EXPECT_TRUE(waitForLog("copy 1/1 finished: " + home.file("in/drawing-2.plt"))) << log();
    // The shipped Get-Jobs test lists them.
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), (IPPTOOL_TESTS / "get-jobs.test").string()}, "get-jobs.txt"), 0)
        << TempDir::read(home.file("get-jobs.txt"));
    // The roll is a supply of the printer.
    home.write("supply.test", ippRequest("Get-Printer-Attributes",
                                         " STATUS successful-ok\n EXPECT marker-levels WITH-VALUE 99\n"
                                         " EXPECT marker-names WITH-VALUE \"/mm left/\"\n"));
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), home.file("supply.test")}, "supply.txt"), 0)
        << TempDir::read(home.file("supply.txt"));
}

TEST_F(NetworkJobStateTest, ADocumentThatIsNotHpglEndsAborted)
{
    // The library answers successful-ok whatever the format and ends the job itself, with texts of its own,
    // before any callback of ours (see the README): this pins that behaviour.
    EXPECT_EQ(
        ipptool(printJob("") + jobEndsIn(ABORTED, " EXPECT job-state-message WITH-VALUE \"Job aborted.\"\n"),
                "%PDF-1.4\n%not a plot\n"),
        "");
    EXPECT_THAT(log(), Not(HasSubstr("job found")));
}

TEST_F(NetworkJobStateTest, AJobTheQueueFailsEndsAbortedWithTheQueuesText)
{
    // HP-GL by its first bytes, so it reaches the queue, but no drawing the import can read.
    EXPECT_EQ(ipptool(printJob("", "broken.plt") + jobEndsIn(ABORTED, " EXPECT job-state-message WITH-VALUE "
                                                                      "\"/.+/\" REPEAT-NO-MATCH\n"),
                      std::string("IN;\x01\x02 no drawing \xff", 19)),
              "");
    EXPECT_TRUE(waitForLog("job failed: " + home.file("in/broken.plt"))) << log();
}

// A roll too short for the job: it waits for media, and its client cancels it.
class NetworkShortRollTest : public NetworkJobStateTest {
protected:
    int mediaLength() const override { return 20; }
};

TEST_F(NetworkShortRollTest, AJobWaitingForMediaIsShownAndEndsCanceledWhenItsClientOrTheOperatorRemovesIt)
{
    EXPECT_EQ(ipptool(printJob("", "long.plt")), "");
    ASSERT_TRUE(waitForLog("job skipped: " + home.file("in/long.plt"))) << log();
    home.write("reasons.test", ippRequest("Get-Printer-Attributes",
                                          " STATUS successful-ok\n EXPECT printer-state-reasons WITH-VALUE "
                                          "media-needed REPEAT-LIMIT 20 REPEAT-NO-MATCH\n"
                                          " EXPECT printer-state WITH-VALUE 4\n"));
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), home.file("reasons.test")}, "reasons.txt"), 0)
        << TempDir::read(home.file("reasons.txt"));
    // The shipped test cancels the newest job.
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), (IPPTOOL_TESTS / "cancel-current-job.test").string()}, "cancel.txt"),
              0)
        << TempDir::read(home.file("cancel.txt"));
    ASSERT_TRUE(waitForLog("job canceled by its network client, file removed: " + home.file("in/long.plt")))
        << log();
    EXPECT_FALSE(fs::exists(home.file("in/long.plt")));
    home.write("state.test", ippRequest("Get-Job-Attributes",
                                        " ATTR integer job-id 1\n STATUS successful-ok\n"
                                        " EXPECT job-state WITH-VALUE " +
                                            std::to_string(CANCELED) + " REPEAT-LIMIT 20 REPEAT-NO-MATCH\n"));
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), home.file("state.test")}, "state.txt"), 0)
        << TempDir::read(home.file("state.txt"));
    // The name is free again, and a new job under it is listed as a job of its own.
    EXPECT_EQ(ipptool(printJob("", "long.plt")), "");
    ASSERT_TRUE(waitForLog("job skipped: " + home.file("in/long.plt"), 2)) << log();
    // The operator removes the file of the job that waits for media: its IPP job ends canceled.
    fs::remove(home.file("in/long.plt"));
    home.write("state.test", ippRequest("Get-Job-Attributes",
                                        " ATTR integer job-id 2\n STATUS successful-ok\n"
                                        " EXPECT job-state WITH-VALUE " +
                                            std::to_string(CANCELED) + " REPEAT-LIMIT 20 REPEAT-NO-MATCH\n"));
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), home.file("state.test")}, "state.txt"), 0)
        << TempDir::read(home.file("state.txt"));
}

// The job waits for media when the server stops: after the restart it is the same IPP job, with its id, name
// and copies, and it completes there; a new job's id comes after it.
TEST_F(NetworkShortRollTest, AJobWaitingAtARestartKeepsItsIdAndCopiesAndCompletesAfterIt)
{
    const std::string kept = home.file("in/kept.plt");
    EXPECT_EQ(ipptool(printJob(" ATTR integer copies 2\n", "kept.plt")), "");
    ASSERT_TRUE(waitForLog("job skipped: " + kept)) << log();
    restartServer(100000);
    EXPECT_TRUE(waitForLog("IPP job 1 taken up again after the restart: " + kept)) << log();
    EXPECT_EQ(ipptool(ippRequest("Get-Job-Attributes",
                                 " ATTR integer job-id 1\n STATUS successful-ok\n"
                                 " EXPECT job-state WITH-VALUE 9 REPEAT-LIMIT 120 REPEAT-NO-MATCH\n"
                                 " EXPECT job-name WITH-VALUE kept.plt\n"
                                 " EXPECT job-impressions-completed WITH-VALUE 2\n")),
              "");
    EXPECT_EQ(count(log(), "copy 1/2 started: " + kept), 1) << log();
    EXPECT_TRUE(waitForLog("copy 2/2 finished: " + kept)) << log();
    EXPECT_FALSE(fs::exists(home.file("in/.receiving/kept.plt.copies")));
    EXPECT_EQ(ipptool(ippRequest("Print-Job", " ATTR mimeMediaType document-format application/vnd.hp-HPGL\n"
                                              " FILE $filename\n STATUS successful-ok\n"
                                              " EXPECT job-id WITH-VALUE 2\n")),
              "");
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/Untitled"))) << log();
    // Ended, the jobs are not taken up by the next start.
    restartServer(100000);
    EXPECT_THAT(log(), Not(HasSubstr("taken up again")));
}

// A port that cannot be opened: the job waits in the queue for the device.
class NetworkOfflineTest : public NetworkJobStateTest {
protected:
    std::vector<std::string> extraArguments() const override
    {
        return {"--port", home.file("no such folder/plotter.out")};
    }
};

TEST_F(NetworkOfflineTest, AJobWaitingForTheDeviceStaysProcessingWithTheQueuesTextAndThePrinterIsOffline)
{
    EXPECT_EQ(ipptool(printJob("", "drawing.plt") +
                      jobEndsIn(PROCESSING, " EXPECT job-state-message WITH-VALUE \"/no such folder/\" "
                                            "REPEAT-NO-MATCH\n")),
              "");
    ASSERT_TRUE(
        waitForLog("job waiting for the device, tried again at every scan: " + home.file("in/drawing.plt")))
        << log();
    home.write("reasons.test", ippRequest("Get-Printer-Attributes",
                                          " STATUS successful-ok\n EXPECT printer-state-reasons WITH-VALUE "
                                          "offline REPEAT-LIMIT 20 REPEAT-NO-MATCH\n"));
    EXPECT_EQ(run(IPPTOOL, {"-t", uri(), home.file("reasons.test")}, "reasons.txt"), 0)
        << TempDir::read(home.file("reasons.txt"));
}

} // namespace

namespace {

// An IPP request of the operation on the printer, as a client sends it over HTTP/1.0 (so that the answer
// comes unchunked) with the Authorization header given; the answer's HTTP status, and with 200 its IPP
// status after a slash ("200/0" is successful-ok).
std::string askAs(int port, int operation, const std::string& authorization)
{
    std::string body = {
        0x02, 0x00, static_cast<char>(operation >> 8), static_cast<char>(operation & 0xff), 0, 0, 0, 1, 0x01};
    const auto add = [&body](char tag, const std::string& name, const std::string& value) {
        body += tag;
        body += {static_cast<char>(name.size() >> 8), static_cast<char>(name.size() & 0xff)};
        body += name;
        body += {static_cast<char>(value.size() >> 8), static_cast<char>(value.size() & 0xff)};
        body += value;
    };
    add(0x47, "attributes-charset", "utf-8");
    add(0x48, "attributes-natural-language", "en");
    add(0x45, "printer-uri", "ipp://127.0.0.1:" + std::to_string(port) + "/ipp/print");
    body += 0x03;
    const std::string request = "POST /ipp/print HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                "\r\nConnection: close\r\nContent-Type: application/ipp\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\nAuthorization: " + authorization +
                                "\r\n\r\n" + body;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval patience{.tv_sec = 20, .tv_usec = 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, request.data(), request.size(), 0) == ssize_t(request.size())) {
        char buffer[4096];
        // The server may keep the connection: the answer ends with its Content-Length.
        for (ssize_t got = 0; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
            answer.append(buffer, static_cast<std::size_t>(got));
            const std::size_t end = answer.find("\r\n\r\n");
            const std::size_t length = answer.find("Content-Length: ");
            if (end != std::string::npos && length != std::string::npos && length < end &&
                answer.size() >= end + 4 + std::stoul(answer.substr(length + 16)))
                break;
        }
    }
    ::close(fd);
    const std::size_t headersEnd = answer.find("\r\n\r\n");
    if (answer.size() < 12 || headersEnd == std::string::npos)
        return "no answer";
    std::string status = answer.substr(9, 3);
    if (status == "200" && answer.size() >= headersEnd + 8)
        status += "/" + std::to_string((static_cast<unsigned char>(answer[headersEnd + 6]) << 8) |
                                       static_cast<unsigned char>(answer[headersEnd + 7]));
    return status;
}

constexpr int PAUSE_PRINTER = 0x10;
constexpr int RESUME_PRINTER = 0x11;
// "root:wrong" and "daemon:anything" in Base64.
constexpr const char* ROOT_WRONG = "Basic cm9vdDp3cm9uZw==";
constexpr const char* DAEMON = "Basic ZGFlbW9uOmFueXRoaW5n";
constexpr const char* ROOT = "Basic cm9vdDphbnl0aGluZw==";

// Sign-in through PAM: anyone may submit, as to a network printer; what the library keeps for the
// administrators' group (here: pausing the printer, cancelling a job of no signed-in user) needs a member
// of it who signs in.
class NetworkSignInTest : public NetworkJobStateTest {
protected:
    std::string serverIniExtra() const override
    {
        return "[Network]\nPamService=login\nAdminGroup=lpadmin\n";
    }
};

TEST_F(NetworkSignInTest, AnyoneMaySubmitButAdministeringNeedsAnAdministratorWhoSignsIn)
{
    EXPECT_EQ(ipptool(printJob("", "open.plt")), "");
    EXPECT_TRUE(waitForLog("marked plotted: " + home.file("in/open.plt"))) << log();
    // ipptool reports HTTP's 401 as a failed request.
    home.write("pause.test", ippRequest("Pause-Printer", " STATUS successful-ok\n"));
    EXPECT_NE(run(IPPTOOL, {"-t", uri(), home.file("pause.test")}, "pause.txt"), 0);
    EXPECT_THAT(TempDir::read(home.file("pause.txt")), HasSubstr("client-error-not-authenticated"));
    EXPECT_EQ(askAs(ippPort, PAUSE_PRINTER, ROOT_WRONG), "401");
    EXPECT_EQ(askAs(ippPort, PAUSE_PRINTER, "Basic !!!"), "401");
}

// A PAM service of the test's own that lets every user in, so that signing in succeeds: then only the
// group decides.
class NetworkSignedInTest : public NetworkJobStateTest {
protected:
    static constexpr const char* SERVICE = "marquill-test-permit";
    const fs::path serviceFile = fs::path("/etc/pam.d") / SERVICE;

    NetworkSignedInTest()
    {
        std::ofstream(serviceFile) << "auth required pam_permit.so\naccount required pam_permit.so\n";
    }
    ~NetworkSignedInTest() override
    {
        std::error_code ignored;
        fs::remove(serviceFile, ignored);
    }
    std::string serverIniExtra() const override
    {
        return std::string("[Network]\nPamService=") + SERVICE + "\nAdminGroup=root\n";
    }
};

TEST_F(NetworkSignedInTest, AnAdministratorWhoSignsInMayPauseAndAnotherUserMayNot)
{
    if (!fs::exists(serviceFile))
        SKIP_WITHOUT_INPUT("cannot write a PAM service into /etc/pam.d (not root)");
    EXPECT_EQ(askAs(ippPort, PAUSE_PRINTER, DAEMON), "403");
    EXPECT_EQ(askAs(ippPort, PAUSE_PRINTER, ROOT), "200/0");
    EXPECT_EQ(askAs(ippPort, RESUME_PRINTER, ROOT), "200/0");
}

} // namespace
