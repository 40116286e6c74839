#pragma once

#include "ChildProcess.h"
#include "MissingInput.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <signal.h>

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
// starts are ended with it.
class ServerHomeTest : public ::testing::Test {
protected:
    TempDir home;
    std::vector<pid_t> started;

    void SetUp() override
    {
        namespace fs = std::filesystem;
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        if (!fs::exists(PLOTS / "foal.hpgl"))
            SKIP_WITHOUT_INPUT("no real plot files");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        fs::create_directory(home.path() / "in");
        writeServerIni(100000);
    }
    void TearDown() override
    {
        while (!started.empty())
            finish(started.back(), std::chrono::seconds(0));
    }

    // Replaces Server.INI whole, by a rename, with the roll count given.
    void writeServerIni(int remaining)
    {
        home.write("Server.INI.new",
                   "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=" + std::to_string(remaining) +
                       "\n[Receive]\nAReceivePath=" + home.file("in") + "\nAutoDeleType=0\n");
        std::filesystem::rename(home.file("Server.INI.new"), home.file("Server.INI"));
    }

    // Starts the server on the home, or on the home given, with its output into the log file named.
    pid_t start(const std::vector<std::string>& arguments, const std::string& log = "log.txt",
                const TempDir* in = nullptr)
    {
        const TempDir& folder = in != nullptr ? *in : home;
        std::vector<std::string> all = {"--home", folder.path().string()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        started.push_back(startProgram(SERVER, all, folder.file(log)));
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

    std::string log(const std::string& name = "log.txt") const { return TempDir::read(home.file(name)); }

    // Waits until the log holds text the given number of times; false after the time-out.
    bool waitForLog(const std::string& text, int times = 1,
                    std::chrono::seconds timeout = std::chrono::seconds(40)) const
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (count(log(), text) < times) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // Puts a file into the receive folder whole, by a rename, with a modification time an hour old; the
    // server still takes it only once it has seen it unchanged for 5 seconds.
    void deliver(const std::string& name, const std::string& bytes)
    {
        namespace fs = std::filesystem;
        const std::string staged = home.write("." + name, bytes);
        fs::last_write_time(staged, fs::file_time_type::clock::now() - std::chrono::hours(1));
        fs::rename(staged, home.file("in/" + name));
    }

    std::string realFile(const char* name) const { return TempDir::read((PLOTS / name).string()); }
    std::string serverIni() const { return TempDir::read(home.file("Server.INI")); }
};
