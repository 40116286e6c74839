#pragma once

#include "ChildProcess.h"
#include "MissingInput.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

inline const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";
inline const std::string PLOT_TOOL = std::string(MARQUILL_BIN_DIR) + "/marquill-plot";
inline const std::filesystem::path PLOTS = MARQUILL_PLOTS_DIR;

// How often part stands in text.
inline int count(const std::string& text, const std::string& part)
{
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

// marquill-server on a home folder of its own: the shipped device profiles, a Chinese Server.INI whose
// automatic receive folder is in/ of the home, and automatic deletion switched off. The servers a test
// starts are ended with it. A test sets what its home and its waits differ in from its constructor.
class ServerHomeTest : public ::testing::Test {
protected:
    // What writeServerIni puts into Server.INI.
    struct ServerIni {
        int remaining = 100000;
        // More [SYSTEM] lines, each with its newline.
        std::string system;
        // The automatic receive folder; in/ of the home unless a test names another.
        std::string receive;
        int autoDeleType = 0;
    };

    TempDir home;
    ServerIni ini;
    std::vector<pid_t> started;
    // Without the real plot files a test that plots them is skipped.
    bool readsRealPlots = true;
    // The log that log() and waitForLog read and start writes unless told another.
    std::string logFile = "log.txt";
    // How long waitForLog waits, and how often it reads the log meanwhile.
    std::chrono::milliseconds logTimeout = std::chrono::seconds(40);
    std::chrono::milliseconds logPoll = std::chrono::milliseconds(20);

    void SetUp() override
    {
        namespace fs = std::filesystem;
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        if (readsRealPlots && (!fs::exists(PLOTS / "foal.hpgl") || !fs::exists(PLOTS / "arcs.hp")))
            SKIP_WITHOUT_INPUT("no real plot files");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        if (ini.receive.empty())
            ini.receive = home.file("in");
        fs::create_directories(ini.receive);
        writeServerIni();
    }
    void TearDown() override
    {
        while (!started.empty())
            finish(started.back(), std::chrono::seconds(0));
    }
    // Whether SetUp went no further than its checks.
    bool setUpStopped() const { return IsSkipped() || HasFatalFailure(); }

    // Replaces Server.INI whole, by a rename, with ini, or with ini's roll count set first.
    void writeServerIni()
    {
        home.write("Server.INI.new",
                   "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=" + std::to_string(ini.remaining) + "\n" +
                       ini.system + "[Receive]\nAReceivePath=" + ini.receive +
                       "\nAutoDeleType=" + std::to_string(ini.autoDeleType) + "\n");
        std::filesystem::rename(home.file("Server.INI.new"), home.file("Server.INI"));
    }
    void writeServerIni(int remaining)
    {
        ini.remaining = remaining;
        writeServerIni();
    }

    // Where a log of the home's programs goes.
    virtual std::string logPath(const std::string& name) const { return home.file(name); }

    // Starts the server on the home, or on the home given, with its output into the log file named; with a
    // file size limit, as startProgram has it.
    pid_t start(const std::vector<std::string>& arguments) { return start(arguments, logFile); }
    pid_t start(const std::vector<std::string>& arguments, const std::string& log,
                const TempDir* in = nullptr, rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        const TempDir& folder = in != nullptr ? *in : home;
        std::vector<std::string> all = {"--home", folder.path().string()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        started.push_back(
            startProgram(SERVER, all, in != nullptr ? folder.file(log) : logPath(log), fileSizeLimit));
        return started.back();
    }

    int finish(pid_t pid, std::chrono::milliseconds timeout)
    {
        std::erase(started, pid);
        return finishProgram(pid, timeout);
    }

    // Ends the server with the signal; it exits with status 0 after writing the settings.
    void stop(pid_t server, int signal = SIGTERM)
    {
        EXPECT_EQ(kill(server, signal), 0);
        EXPECT_EQ(finish(server, std::chrono::seconds(10)), 0) << log();
    }

    // Runs the server over the receive folder once; its exit status.
    int serveOnce(const std::string& log, rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        return finish(start({"--once"}, log, nullptr, fileSizeLimit), std::chrono::seconds(60));
    }

    // Runs marquill-plot on the home; its exit status.
    int runPlotTool(const std::vector<std::string>& arguments, const std::string& log)
    {
        std::vector<std::string> all = {"--home", home.path().string()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return finishProgram(startProgram(PLOT_TOOL, all, logPath(log)), std::chrono::seconds(60));
    }
    // What marquill-plot --history says with the arguments; it is to end with the status given.
    std::string history(const std::vector<std::string>& arguments, int expectedStatus = 0)
    {
        std::vector<std::string> all = {"--home", home.path().string(), "--history"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        EXPECT_EQ(
            finishProgram(startProgram(PLOT_TOOL, all, logPath("history.txt")), std::chrono::seconds(30)),
            expectedStatus)
            << log("history.txt");
        return log("history.txt");
    }

    std::string log() const { return log(logFile); }
    std::string log(const std::string& name) const { return TempDir::read(logPath(name)); }

    // Waits until the log holds text the given number of times; false after the time-out, logTimeout
    // unless another is given. It reads the log every logPoll, or as often as given.
    bool waitForLog(const std::string& text, int times = 1, std::chrono::milliseconds timeout = {},
                    std::chrono::milliseconds poll = {}) const
    {
        const auto deadline = std::chrono::steady_clock::now() + (timeout.count() > 0 ? timeout : logTimeout);
        while (count(log(), text) < times) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(poll.count() > 0 ? poll : logPoll);
        }
        return true;
    }

    // Puts a file into the receive folder whole, by a rename, with a modification time an hour old; the
    // server still takes it only once it has seen it unchanged for 5 seconds. Its path in the folder.
    std::string deliver(const std::string& name, const std::string& bytes)
    {
        namespace fs = std::filesystem;
        const std::string staged = staging.write(name, bytes);
        fs::last_write_time(staged, fs::file_time_type::clock::now() - std::chrono::hours(1));
        const std::string path = (fs::path(ini.receive) / name).string();
        fs::rename(staged, path);
        return path;
    }

    std::string realFile(const char* name) const { return TempDir::read((PLOTS / name).string()); }
    std::string serverIni() const { return TempDir::read(home.file("Server.INI")); }
    // The roll count Server.INI holds, or -1 without one.
    int mediaLeft() const
    {
        const std::string text = serverIni();
        const std::size_t at = text.find("REMAINMEDIALENGTH=");
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 18);
    }

private:
    // Where a delivery is written before it is renamed into the receive folder: no folder a server reads,
    // and room for a name of 255 bytes.
    TempDir staging;
};
