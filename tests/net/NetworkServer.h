#pragma once

// marquill-server started as a network printer on loopback ports, with helpers for its clients.

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

namespace nettest {

inline const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";
inline const std::string IPPTOOL = "/usr/bin/ipptool";
inline const std::string IPP_BACKEND = "/usr/lib/cups/backend/ipp";
inline const fs::path IPPTOOL_TESTS = "/usr/share/cups/ipptool";
inline const fs::path PLOTS = MARQUILL_PLOTS_DIR;

// A loopback port nothing listens on now.
inline int freePort()
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
inline void sendRaw(int port, const std::string& bytes)
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

// An IPP request of ipptool's test language: the operation attributes every request carries, then the
// lines given.
inline std::string ippRequest(const std::string& operation, const std::string& lines)
{
    return "{\n OPERATION " + operation +
           "\n GROUP operation-attributes-tag\n ATTR charset attributes-charset utf-8\n"
           " ATTR naturalLanguage attributes-natural-language en\n ATTR uri printer-uri $uri\n"
           " ATTR name requesting-user-name $user\n" +
           lines + "}\n";
}

inline int count(const std::string& text, const std::string& part)
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
    // What a test may change before the server starts.
    virtual std::string serverIniExtra() const { return ""; }
    virtual std::vector<std::string> extraArguments() const { return {}; }
    virtual int mediaLength() const { return 100000; }

    TempDir home;
    pid_t server = -1;
    int ippPort = 0;
    int rawPort = 0;
    std::vector<std::string> arguments_;
    std::string logFile_ = "log.txt";
    int restarts_ = 0;

    void SetUp() override
    {
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        if (!fs::exists(IPPTOOL) || !fs::exists(IPP_BACKEND))
            SKIP_WITHOUT_INPUT("ipptool or the CUPS ipp backend is not installed");
        if (!fs::exists(PLOTS / "foal.hpgl"))
            SKIP_WITHOUT_INPUT("no real plot files");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        home.write("Server.INI", serverIni(mediaLength()));
        ippPort = freePort();
        rawPort = freePort();
        arguments_ = {"--home",     home.path().string(),
                      "--listen",   "127.0.0.1:" + std::to_string(ippPort),
                      "--raw-port", std::to_string(rawPort)};
        for (const std::string& argument : extraArguments())
            arguments_.push_back(argument);
        server = startProgram(SERVER, arguments_, home.file(logFile_));
        ASSERT_TRUE(waitForLog("started:")) << log();
    }
    std::string serverIni(int media) const
    {
        return "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=" + std::to_string(media) +
               "\n[Receive]\nAReceivePath=" + home.file("in") + "\nAutoDeleType=0\n" + serverIniExtra();
    }
    // Ends the server and starts it again on the same ports with the media given; it logs anew into a file
    // of its own for each restart.
    void restartServer(int media)
    {
        ::kill(server, SIGTERM);
        ASSERT_EQ(finishProgram(server, 10s), 0) << log();
        home.write("Server.INI", serverIni(media));
        logFile_ = "log-after-restart-" + std::to_string(++restarts_) + ".txt";
        server = startProgram(SERVER, arguments_, home.file(logFile_));
        ASSERT_TRUE(waitForLog("started:")) << log();
    }
    void TearDown() override
    {
        if (server > 0) {
            ::kill(server, SIGTERM);
            EXPECT_EQ(finishProgram(server, 10s), 0) << log();
        }
    }

    std::string log() const { return TempDir::read(home.file(logFile_)); }
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

} // namespace nettest
