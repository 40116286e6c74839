#include "ChildProcess.h"
#include "MissingInput.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";
const std::string IPPTOOL = "/usr/bin/ipptool";
const std::string IPP_BACKEND = "/usr/lib/cups/backend/ipp";
const fs::path IPPTOOL_TESTS = "/usr/share/cups/ipptool";
const fs::path PLOTS = MARQUILL_PLOTS_DIR;

// A loopback port nothing listens on now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Sends bytes to the raw socket and closes the connection, as a plain socket client does.
void sendRaw(int port, const std::string& bytes)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    ::close(fd);
}

int count(const std::string& text, const std::string& part)
{
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

// marquill-server as a network printer on loopback ports of its own, with the shipped device profile and
// its automatic receive folder in/ of its home.
class NetworkServerTest : public ::testing::Test {
protected:
    TempDir home;
    pid_t server = -1;
    int ippPort = 0;
    int rawPort = 0;

    void SetUp() override
    {
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        if (!fs::exists(IPPTOOL) || !fs::exists(IPP_BACKEND))
            SKIP_WITHOUT_INPUT("ipptool or the CUPS ipp backend is not installed");
        if (!fs::exists(PLOTS / "foal.hpgl"))
            SKIP_WITHOUT_INPUT("no real plot files");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        home.write("Server.INI",
                   "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=100000\n[Receive]\nAReceivePath=" +
                       home.file("in") + "\nAutoDeleType=0\n");
        ippPort = freePort();
        rawPort = freePort();
        server = startProgram(SERVER,
                              {"--home", home.path().string(), "--listen",
                               "127.0.0.1:" + std::to_string(ippPort), "--raw-port", std::to_string(rawPort)},
                              home.file("log.txt"));
        ASSERT_TRUE(waitForLog("started:")) << log();
    }
    void TearDown() override
    {
        if (server > 0) {
            ::kill(server, SIGTERM);
            EXPECT_EQ(finishProgram(server, 10s), 0) << log();
        }
    }

    std::string log() const { return TempDir::read(home.file("log.txt")); }
    std::string uri() const { return "ipp://127.0.0.1:" + std::to_string(ippPort) + "/ipp/print"; }

    bool waitForLog(const std::string& text, int times = 1) const
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (count(log(), text) < times) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    // Runs a client program to its end; its exit status.
    int run(const std::string& program, const std::vector<std::string>& arguments, const std::string& output)
    {
        return finishProgram(startProgram(program, arguments, home.file(output)), 60s);
    }

    std::string plotFile(const char* name) const
    {
        const std::string path = home.file(name);
        fs::copy_file(PLOTS / "foal.hpgl", path);
        return path;
    }
};

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
    home.write("declared.test", R"({
  OPERATION Print-Job
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR name requesting-user-name $user
  ATTR mimeMediaType document-format image/png
  FILE $filename
})");
    run(IPPTOOL, {"-t", "-f", home.file("picture.bin"), uri(), home.file("declared.test")}, "declared.txt");

    ASSERT_TRUE(waitForLog("raw job refused: not HP-GL")) << log();
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/raw-"))) << log();
    EXPECT_EQ(count(log(), "job found: "), 1) << log();
    EXPECT_THAT(log(), Not(HasSubstr("IPP job received"))) << log();
    EXPECT_TRUE(fs::is_empty(home.file("in/.receiving")));
}

} // namespace
