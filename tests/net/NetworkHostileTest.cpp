#include "NetworkServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>

using namespace nettest;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// A connection to a loopback port; -1 when it cannot be made.
int connectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends as much of bytes as the server takes; the bytes it took.
std::size_t sendAll(int fd, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t now = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (now <= 0)
            break;
        sent += static_cast<std::size_t>(now);
    }
    return sent;
}

// Waits until the server answers or closes the connection; false after the time given.
bool answered(int fd, std::chrono::milliseconds most)
{
    pollfd poll = {fd, POLLIN, 0};
    return ::poll(&poll, 1, static_cast<int>(most.count())) == 1;
}

// Waits until the server closes the connection; false after the time given.
bool closedByServer(int fd, std::chrono::milliseconds most)
{
    pollfd poll = {fd, POLLIN, 0};
    char byte = 0;
    return ::poll(&poll, 1, static_cast<int>(most.count())) == 1 && ::recv(fd, &byte, 1, 0) <= 0;
}

const std::string SMALL_PLOT = "IN;SP1;PU0,0;PD400,0,400,400;PU;SP0;";

// A server with a small job size limit (1 MB) and a short silence (2 s).
class NetworkHostileTest : public NetworkServerTest {
protected:
    std::string serverIniExtra() const override { return "[Network]\nMaxJobMB=1\nIdleSeconds=2\n"; }

    std::vector<std::string> receivedFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home.file("in")))
            if (entry.is_regular_file())
                names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(NetworkHostileTest, RawClientsThatBreakOffStaySilentOrSendTooMuchLeaveNothingBehind)
{
    // Over the limit: refused at it, the connection closed while the client still sends.
    // Larger than the socket buffers can hold between the two ends.
    std::string tooLarge = "IN;";
    while (tooLarge.size() < 32 * 1024 * 1024)
        tooLarge += "PD1234,5678;";
    const int large = connectTo(rawPort);
    ASSERT_GE(large, 0);
    EXPECT_LT(sendAll(large, tooLarge), tooLarge.size());
    ::close(large);
    ASSERT_TRUE(waitForLog("raw job refused: larger than 1048576 bytes")) << log();

    // Cut off: the client resets the connection in the middle of its job.
    const int cut = connectTo(rawPort);
    ASSERT_GE(cut, 0);
    sendAll(cut, std::string(SMALL_PLOT) + "PD1,1;PD2,2;");
    std::this_thread::sleep_for(200ms);
    const linger reset = {1, 0};
    ::setsockopt(cut, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(cut);
    ASSERT_TRUE(waitForLog("raw job cut off")) << log();

    // Silent: the client sends the start and then nothing; it is dropped after the silence, not before.
    const auto start = std::chrono::steady_clock::now();
    const int silent = connectTo(rawPort);
    ASSERT_GE(silent, 0);
    sendAll(silent, "IN;SP1;");
    EXPECT_TRUE(closedByServer(silent, 10s));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 1900ms);
    EXPECT_LT(waited, 6s);
    ::close(silent);
    ASSERT_TRUE(waitForLog("raw job cut off", 2)) << log();

    // Binary garbage.
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) & 0xff);
    sendRaw(rawPort, garbage);
    ASSERT_TRUE(waitForLog("raw job refused: not HP-GL")) << log();

    EXPECT_TRUE(receivedFiles().empty());
    EXPECT_TRUE(fs::is_empty(home.file("in/.receiving")));
    // And the server still plots.
    sendRaw(rawPort, SMALL_PLOT);
    EXPECT_TRUE(waitForLog("marked plotted: " + home.file("in/raw-"))) << log();
}

TEST_F(NetworkHostileTest, TwoHundredConnectionsAtOnceAreAllTakenAndPlotted)
{
    constexpr int CLIENTS = 200;
    std::vector<std::future<bool>> clients;
    for (int i = 0; i < CLIENTS; ++i)
        clients.push_back(std::async(std::launch::async, [this] {
            const int fd = connectTo(rawPort);
            if (fd < 0)
                return false;
            const bool sent = sendAll(fd, SMALL_PLOT) == SMALL_PLOT.size();
            ::close(fd);
            return sent;
        }));
    int sent = 0;
    for (auto& client : clients)
        sent += client.get() ? 1 : 0;
    EXPECT_EQ(sent, CLIENTS);
    ASSERT_TRUE(waitForLog("marked plotted: ", CLIENTS)) << log();
    EXPECT_EQ(count(log(), "raw job received: "), CLIENTS);
    EXPECT_EQ(receivedFiles().size(), std::size_t{CLIENTS});
}

TEST_F(NetworkHostileTest, AbsurdIppRequestsAreRefusedAndTheServerGoesOn)
{
    // Attribute values the printer cannot take.
    home.write("absurd.test",
               ippRequest("Print-Job", " ATTR mimeMediaType document-format application/vnd.hp-HPGL\n"
                                       " GROUP job-attributes-tag\n ATTR integer copies 2147483647\n"
                                       " ATTR keyword media not-a-media-of-any-printer\n"
                                       " ATTR integer job-priority -5\n FILE $filename\n"
                                       " STATUS client-error-attributes-or-values-not-supported\n"));
    home.write("drawing.plt", SMALL_PLOT);
    EXPECT_EQ(
        run(IPPTOOL, {"-t", "-f", home.file("drawing.plt"), uri(), home.file("absurd.test")}, "absurd.txt"),
        0)
        << TempDir::read(home.file("absurd.txt"));

    // Not IPP at all, on the IPP port: a request whose body is garbage, and bytes that are not HTTP.
    const int post = connectTo(ippPort);
    ASSERT_GE(post, 0);
    sendAll(post, "POST /ipp/print HTTP/1.1\r\nHost: localhost\r\nContent-Type: application/ipp\r\n"
                  "Content-Length: 64\r\n\r\n" +
                      std::string(64, '\xff'));
    EXPECT_TRUE(answered(post, 40s));
    ::close(post);
    const int junk = connectTo(ippPort);
    ASSERT_GE(junk, 0);
    sendAll(junk, std::string(2048, '\x01'));
    ::close(junk);

    // A job over the limit: the library takes all of it in, then the job ends aborted and nothing is queued.
    std::string tooLarge = "IN;";
    while (tooLarge.size() < 2 * 1024 * 1024)
        tooLarge += "PD1234,5678;";
    home.write("large.plt", tooLarge);
    run(IPPTOOL, {"-t", "-f", home.file("large.plt"), uri(), (IPPTOOL_TESTS / "print-job.test").string()},
        "large.txt");
    ASSERT_TRUE(waitForLog("IPP job refused: larger than the limit")) << log();

    // The server still takes and plots a good job.
    EXPECT_EQ(run(IPPTOOL,
                  {"-t", "-f", home.file("drawing.plt"), uri(), (IPPTOOL_TESTS / "print-job.test").string()},
                  "print-job.txt"),
              0)
        << TempDir::read(home.file("print-job.txt"));
    EXPECT_TRUE(waitForLog("marked plotted: " + home.file("in/Untitled"))) << log();
    EXPECT_EQ(count(log(), "job found: "), 1) << log();
}

} // namespace
