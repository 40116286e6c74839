#include "net/RawListener.h"
#include "net/ReceivedFile.h"
#include "plotdata/HpglSniff.h"

#include "MissingInput.h"
#include "TempDir.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

bool hpgl(const std::string& bytes)
{
    return looksLikeHpgl(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(HpglSniffTest, EveryRealPlotPassesAndOtherDocumentsDoNot)
{
    const fs::path plots = MARQUILL_PLOTS_DIR;
    if (!fs::is_directory(plots))
        SKIP_WITHOUT_INPUT("no real plot files");
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(plots)) {
        if (entry.path().extension() == ".md")
            continue;
        const std::string start = TempDir::read(entry.path().string()).substr(0, 64);
        EXPECT_TRUE(hpgl(start)) << entry.path();
        ++seen;
    }
    EXPECT_GT(seen, 10);

    EXPECT_TRUE(hpgl("\x1b%-1BBPINPS1;"));
    EXPECT_TRUE(hpgl("  \r\n;IN"));
    EXPECT_FALSE(hpgl("%PDF-1.7\n"));
    EXPECT_FALSE(hpgl("%!PS-Adobe-3.0\n"));
    EXPECT_FALSE(hpgl("\x89PNG\r\n\x1a\n"));
    EXPECT_FALSE(hpgl("Hello, plotter"));
    EXPECT_FALSE(hpgl("INSTALL notes"));
    EXPECT_FALSE(hpgl(std::string("\0\0\0", 3)));
    EXPECT_FALSE(hpgl(""));
}

TEST(ReceivedFileTest, JobNamesBecomeSafeFileNames)
{
    EXPECT_EQ(jobFileName("drawing.plt"), "drawing.plt");
    EXPECT_EQ(jobFileName("../../etc/passwd"), "passwd");
    EXPECT_EQ(jobFileName("C:\\Users\\anna\\part 7.hpgl"), "part 7.hpgl");
    EXPECT_EQ(jobFileName("..hidden"), "hidden");
    EXPECT_EQ(jobFileName("a\nb\x1b\x7f"
                          "c"),
              "abc");
    EXPECT_EQ(jobFileName("dir/"), "network-job");
    EXPECT_EQ(jobFileName(""), "network-job");
    const std::string longName = jobFileName(std::string(300, 'x') + ".plt");
    EXPECT_LE(longName.size(), 96u);
    EXPECT_TRUE(longName.ends_with("x.plt"));
    // A long name in Chinese is cut between characters, never inside one.
    std::string chinese;
    for (int i = 0; i < 40; ++i)
        chinese += "图";
    const std::string cut = jobFileName(chinese + ".plt");
    EXPECT_LE(cut.size(), 96u);
    EXPECT_EQ((cut.size() - 4) % 3, 0u);
    EXPECT_TRUE(cut.ends_with("图.plt"));
}

TEST(ReceivedFileTest, AppearsOnlyWhenWholeUnderAFreeNameAndIsRemovedWhenNotDelivered)
{
    TempDir folder;
    folder.write("job.plt", "older");
    {
        ReceivedFile file(folder.path().string());
        ASSERT_TRUE(file.good());
        ASSERT_TRUE(file.write("IN;", 3));
        // Nothing shows in the receive folder while the data comes in.
        EXPECT_THAT(namesIn(folder.path()), ElementsAre(".receiving", "job.plt"));
        EXPECT_EQ(file.deliver("job.plt"), folder.file("job-2.plt"));
    }
    {
        ReceivedFile file(folder.path().string());
        ASSERT_TRUE(file.write("IN;PU;", 6));
    }
    EXPECT_THAT(namesIn(folder.path()), ElementsAre(".receiving", "job-2.plt", "job.plt"));
    EXPECT_THAT(namesIn(folder.path() / ".receiving"), IsEmpty());
    EXPECT_EQ(TempDir::read(folder.file("job.plt")), "older");
    EXPECT_EQ(TempDir::read(folder.file("job-2.plt")), "IN;");
}

class RawListenerTest : public ::testing::Test {
protected:
    TempDir folder;
    std::mutex logLock;
    std::vector<std::string> lines;
    RawListener listener{folder.path().string(), [this](const std::string& line) {
                             const std::lock_guard lock(logLock);
                             lines.push_back(line);
                         }};

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(listener.start("127.0.0.1", 0, error)) << error;
    }

    int connectToListener()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(listener.port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }

    void send(int fd, const std::string& bytes)
    {
        EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    }

    // Waits until the listener has logged the given number of lines.
    std::vector<std::string> waitForLines(std::size_t count)
    {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            {
                const std::lock_guard lock(logLock);
                if (lines.size() >= count)
                    return lines;
            }
            std::this_thread::sleep_for(10ms);
        }
        return lines;
    }
};

TEST_F(RawListenerTest, AJobClosedByItsClientArrivesWholeAndOtherDocumentsAreRefused)
{
    std::string drawing = "IN;SP1;";
    for (int i = 0; i < 20000; ++i)
        drawing += "PA" + std::to_string(i) + "," + std::to_string(i % 77) + ";";
    int fd = connectToListener();
    // The first piece is shorter than what the listener reads before it judges the format.
    send(fd, drawing.substr(0, 5));
    std::this_thread::sleep_for(50ms);
    send(fd, drawing.substr(5));
    ::close(fd);

    fd = connectToListener();
    send(fd, "%PDF-1.4\n%garbage");
    ::close(fd);

    const std::vector<std::string> log = waitForLines(2);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_THAT(log[0], HasSubstr("raw job received: " + folder.path().string() + "/raw-"));
    EXPECT_EQ(log[1], "raw job refused: not HP-GL");
    const std::vector<std::string> names = namesIn(folder.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(TempDir::read(folder.file(names[1])), drawing);
}

TEST_F(RawListenerTest, AConnectionBrokenMidJobLeavesNoFile)
{
    const int fd = connectToListener();
    send(fd, "IN;SP1;PA0,0;PD" + std::string(100000, '1'));
    // A reset instead of an orderly close: the client died or the cable was pulled.
    const linger abort = {.l_onoff = 1, .l_linger = 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(fd);
    EXPECT_THAT(waitForLines(1), ElementsAre("raw job cut off, nothing kept"));
    EXPECT_THAT(namesIn(folder.path()), ElementsAre(".receiving"));
    EXPECT_THAT(namesIn(folder.path() / ".receiving"), IsEmpty());
}
