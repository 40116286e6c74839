// marquill-server killed outright (SIGKILL) at random points of its copies, into the output folder and into
// a pseudo-terminal standing in for a serial device, and started again each time. After every kill and
// restart, and once all is plotted, what the device received must agree with the server's records: each
// job plotted whole at most once (exactly once at the end), the roll count the restarted server starts
// with short by the media of what the device received, no partial output under a visible name, and no
// file deleted that was not plotted.

#include "PseudoTerminal.h"
#include "ServerHomeTest.h"

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <iostream>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int KILLS = 20;
// Each kill ends at most one copy's worth of progress into a serial device, at most two into the output
// folder.
constexpr int JOBS = 2 * KILLS + 1;
constexpr int SECTIONS = 8;
constexpr int STROKES_PER_SECTION = 300;
constexpr int SECTION_MM = 100;
// Media one whole copy uses: up to the last section's last stroke, 1 mm before its end.
constexpr int COPY_MEDIA = SECTIONS * SECTION_MM - 1;
constexpr int ROLL = 1000000;
// Plotter units (0.025 mm) per millimetre, as the drawing is written and as the device receives it.
constexpr int UNITS = 40;
// Each job's strokes lie in a band of the media of their own, so that the device's stream tells the jobs
// apart.
constexpr int JOB_BAND_MM = 40;

std::string jobName(int job) { return "j" + std::string(job < 10 ? "0" : "") + std::to_string(job) + ".plt"; }

// Short vertical strokes in sections of 100 mm; the last stroke of every section, 1 mm before its end,
// is the only one there, so that the stream shows which sections the device received whole.
std::string drawing(int job)
{
    std::string text = "IN;SP1;";
    const int band = job * JOB_BAND_MM;
    for (int section = 0; section < SECTIONS; ++section) {
        for (int s = 0; s < STROKES_PER_SECTION; ++s) {
            const int x = section * SECTION_MM + 1 + s % 97;
            const int y = band + s % 37;
            text += "PU" + std::to_string(x * UNITS) + "," + std::to_string(y * UNITS) + ";PD" +
                    std::to_string(x * UNITS) + "," + std::to_string((y + 1) * UNITS) + ";";
        }
        const int last = section * SECTION_MM + SECTION_MM - 1;
        text += "PU" + std::to_string(last * UNITS) + "," + std::to_string(band * UNITS) + ";PD" +
                std::to_string(last * UNITS) + "," + std::to_string((band + 2) * UNITS) + ";";
    }
    return text + "PU;";
}

// What a device's stream holds of one copy: the job it belongs to, the media up to the last section it
// received whole, and whether the copy came to its end.
struct ReceivedCopy {
    int job = -1;
    int media = 0;
    bool whole = false;
};

// Every pass begins with the device's initialisation; a copy's commands are read up to its last
// complete one.
std::vector<ReceivedCopy> readCopies(const std::string& stream)
{
    std::vector<ReceivedCopy> copies;
    for (std::size_t at = stream.find("IN;"); at != std::string::npos;) {
        const std::size_t next = stream.find("IN;", at + 3);
        const std::string pass = stream.substr(at, next == std::string::npos ? std::string::npos : next - at);
        ReceivedCopy copy;
        copy.whole = pass.find("SP0;PG;") != std::string::npos;
        std::size_t command = 0;
        for (std::size_t end = pass.find(';'); end != std::string::npos; end = pass.find(';', command)) {
            const std::string text = pass.substr(command, end - command);
            command = end + 1;
            int x = 0;
            int y = 0;
            if (std::sscanf(text.c_str(), "PD%d,%d", &x, &y) != 2)
                continue;
            copy.job = y / UNITS / JOB_BAND_MM;
            if ((x / UNITS) % SECTION_MM == SECTION_MM - 1)
                copy.media = std::max(copy.media, x / UNITS);
        }
        if (copy.job >= 0)
            copies.push_back(copy);
        at = next;
    }
    return copies;
}

// Reads the master side of a pseudo-terminal on a thread of its own, keeping every byte, and holds back
// once it has received as many bytes as it is allowed: the server then waits in the middle of a write,
// as it does for a slow device.
class PtyRecorder {
public:
    explicit PtyRecorder(int master) : master_(master), thread_([this] { run(); }) {}
    ~PtyRecorder()
    {
        done_ = true;
        thread_.join();
    }
    PtyRecorder(const PtyRecorder&) = delete;
    PtyRecorder& operator=(const PtyRecorder&) = delete;

    void allow(std::size_t bytes) { allowed_ = bytes; }
    std::size_t received() const { return received_; }
    std::string stream() const
    {
        const std::lock_guard lock(mutex_);
        return stream_;
    }
    // Takes whatever is still on its way, however much; returns once nothing came for a while.
    void drain()
    {
        allowed_ = SIZE_MAX;
        std::size_t before = SIZE_MAX;
        while (before != received_) {
            before = received_;
            std::this_thread::sleep_for(60ms);
        }
    }

private:
    void run()
    {
        char buffer[4096];
        while (!done_) {
            const std::size_t room = allowed_ > received_ ? allowed_ - received_ : 0;
            pollfd ready{master_, POLLIN, 0};
            if (room == 0 || poll(&ready, 1, 10) <= 0) {
                if (room == 0)
                    std::this_thread::sleep_for(2ms);
                continue;
            }
            const ssize_t got = read(master_, buffer, std::min(room, sizeof buffer));
            if (got <= 0)
                continue;
            const std::lock_guard lock(mutex_);
            stream_.append(buffer, static_cast<std::size_t>(got));
            received_ += static_cast<std::size_t>(got);
        }
    }

    int master_;
    std::atomic<std::size_t> allowed_{SIZE_MAX};
    std::atomic<std::size_t> received_{0};
    mutable std::mutex mutex_;
    std::string stream_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// marquill-server on a home of its own (see ServerHomeTest) that sections its copies and deletes what it
// has plotted at exit, so that a file deleted without having been plotted shows; each run logs into a
// file of its own.
class CrashTest : public ServerHomeTest {
protected:
    std::mt19937 random;
    pid_t server = -1;
    int runs = 0;

    CrashTest()
    {
        readsRealPlots = false;
        ini.remaining = ROLL;
        ini.system = "Section=" + std::to_string(SECTION_MM) + "\nOverLap=0\n";
        ini.autoDeleType = 1;
        logTimeout = 30s;
        logPoll = 1ms;
    }
    void SetUp() override
    {
        ServerHomeTest::SetUp();
        if (setUpStopped())
            return;
        const char* given = std::getenv("MARQUILL_CRASH_SEED");
        const unsigned seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                               : static_cast<unsigned>(std::random_device{}());
        random.seed(seed);
        std::cout << "crash points seeded with " << seed << " (MARQUILL_CRASH_SEED)" << std::endl;
        RecordProperty("seed", std::to_string(seed));
    }

    void deliver(int job) { ServerHomeTest::deliver(jobName(job), drawing(job)); }

    void startRun(const std::vector<std::string>& arguments)
    {
        ++runs;
        logFile = "log" + std::to_string(runs) + ".txt";
        server = start(arguments);
    }

    void killServer()
    {
        kill(server, SIGKILL);
        finish(server, 10s);
        server = -1;
    }

    int mediaUsed() const
    {
        const int left = mediaLeft();
        return left < 0 ? -1 : ROLL - left;
    }

    // Starts the server again and returns the media used as it says at its start, once it has settled what
    // a killed program left: a kill may come between the journal's charge and the roll count's write,
    // which the start completes.
    int restart(const std::vector<std::string>& arguments)
    {
        startRun(arguments);
        if (!waitForLog("started: settings"))
            return -1;
        const std::string text = log();
        const std::size_t line = text.find("started: settings");
        const std::size_t at = text.find("media left ", line);
        return at == std::string::npos ? -1 : ROLL - std::atoi(text.c_str() + at + 11);
    }
    // Passes held by the killed server that the start delivered.
    int deliveredAtStart() const
    {
        const std::string text = log();
        return count(text.substr(0, text.find("started: settings")), "held when the server ended, delivered");
    }

    // Once all is plotted: every job whole once, the roll count short by the media the device received,
    // and every file deleted.
    void checkAllPlottedOnce(const std::map<int, int>& whole, int media) const
    {
        EXPECT_EQ(mediaUsed(), media) << log();
        for (int job = 0; job < JOBS; ++job) {
            EXPECT_EQ(whole.count(job) ? whole.at(job) : 0, 1) << jobName(job);
            EXPECT_FALSE(fs::exists(home.file("in/" + jobName(job))))
                << jobName(job) << " plotted, not deleted";
        }
    }
    static long long millisecondsSince(std::chrono::steady_clock::time_point begun)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begun)
            .count();
    }

    // The checks after a kill and at the end: copies[job] is how many whole copies the device has of it.
    void checkRecords(const std::map<int, int>& copies, const std::string& when) const
    {
        SCOPED_TRACE(when);
        for (const auto& [job, whole] : copies)
            EXPECT_LE(whole, 1) << jobName(job) << " plotted whole more than once\n" << log();
        for (int job = 0; job < JOBS; ++job) {
            const auto plotted = copies.find(job);
            const bool deleted = !fs::exists(home.file("in/" + jobName(job)));
            EXPECT_TRUE(!deleted || (plotted != copies.end() && plotted->second == 1))
                << jobName(job) << " deleted without having been plotted\n"
                << log();
        }
    }
};

// Into a pseudo-terminal: the device holds back at a random byte of the stream, the server waits for it in
// the middle of a write, and is killed there.
TEST_F(CrashTest, KilledAtRandomPointsOfCopiesIntoASerialDeviceEveryJobIsPlottedOnceAndCharged)
{
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    home.write("Port.INI", "[PortMap]\nCOM1=" + line.slavePath() + "\n");
    PtyRecorder device(line.master());
    const auto begun = std::chrono::steady_clock::now();

    // The whole copies of each job the device has, and the media it received.
    int media = 0;
    const auto check = [&](const std::string& when) {
        std::map<int, int> whole;
        media = 0;
        for (const ReceivedCopy& copy : readCopies(device.stream())) {
            whole[copy.job] += copy.whole ? 1 : 0;
            media += copy.media;
        }
        checkRecords(whole, when);
        return whole;
    };

    // One copy first, to learn its size.
    deliver(0);
    startRun({"--port", "COM1"});
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/" + jobName(0)))) << log();
    const std::size_t copyBytes = device.received();
    ASSERT_GT(copyBytes, 20000u);
    std::cout << "a copy is " << copyBytes << " bytes" << std::endl;
    for (int job = 1; job < JOBS; ++job)
        deliver(job);

    std::uniform_int_distribution<std::size_t> within(0, copyBytes);
    for (int kill = 1; kill <= KILLS; ++kill) {
        device.allow(device.received() + within(random));
        // Held back, the server reaches a write it waits in, or the end of its work.
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        std::size_t before = SIZE_MAX;
        while (before != device.received() && std::chrono::steady_clock::now() < deadline) {
            before = device.received();
            std::this_thread::sleep_for(80ms);
        }
        killServer();
        device.drain();
        check("after kill " + std::to_string(kill));
        if (kill < KILLS) {
            EXPECT_EQ(restart({"--port", "COM1"}), media) << "after kill " << kill << "\n" << log();
        }
    }
    // Started once more, the server plots what is left.
    startRun({"--port", "COM1", "--once"});
    EXPECT_EQ(finish(server, 120s), 0) << log();
    device.drain();
    const std::map<int, int> whole = check("at the end");
    checkAllPlottedOnce(whole, media);
    std::cout << "serial: " << KILLS << " kills in " << millisecondsSince(begun) << " ms" << std::endl;
}

// Into the output folder: killed at a random moment of a copy, found by its start in the log.
TEST_F(CrashTest, KilledAtRandomPointsOfCopiesIntoTheOutputFolderEveryJobIsPlottedOnceAndCharged)
{
    const auto begun = std::chrono::steady_clock::now();
    const std::string output = home.file("Output");
    // What the folder holds under visible names is what a device fed from it has received.
    int media = 0;
    const auto check = [&](const std::string& when) {
        std::map<int, int> whole;
        media = 0;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(output, error)) {
            const std::string name = entry.path().filename().string();
            if (name.front() == '.')
                continue;
            const std::vector<ReceivedCopy> copies = readCopies(TempDir::read(entry.path().string()));
            EXPECT_EQ(copies.size(), 1u) << name;
            for (const ReceivedCopy& copy : copies) {
                EXPECT_TRUE(copy.whole && copy.media == COPY_MEDIA) << name << " is not a whole copy";
                EXPECT_EQ(name, jobName(copy.job).substr(0, 3) + ".out");
                whole[copy.job] += 1;
                media += copy.media;
            }
        }
        checkRecords(whole, when);
        return whole;
    };

    deliver(0);
    startRun({});
    ASSERT_TRUE(waitForLog("copy 1/1 started: " + home.file("in/" + jobName(0)))) << log();
    const auto copyBegun = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitForLog("marked plotted: " + home.file("in/" + jobName(0)))) << log();
    const auto copyTime =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - copyBegun);
    for (int job = 1; job < JOBS; ++job)
        deliver(job);

    // Into the first copy of a run, or the one after it.
    std::uniform_int_distribution<std::int64_t> within(0, copyTime.count() * 2);
    for (int kill = 1; kill <= KILLS; ++kill) {
        ASSERT_TRUE(waitForLog("copy 1/1 started: ")) << log();
        std::this_thread::sleep_for(std::chrono::microseconds(within(random)));
        killServer();
        check("after kill " + std::to_string(kill));
        if (kill < KILLS) {
            const int used = restart({});
            EXPECT_EQ(used, media + deliveredAtStart() * COPY_MEDIA) << "after kill " << kill << "\n"
                                                                     << log();
        }
    }
    // Started once more, the server plots what is left.
    startRun({"--once"});
    EXPECT_EQ(finish(server, 60s), 0) << log();
    const std::map<int, int> whole = check("at the end");
    checkAllPlottedOnce(whole, media);
    std::cout << "output folder: " << KILLS << " kills in " << millisecondsSince(begun) << " ms, a copy "
              << copyTime.count() / 1000 << " ms" << std::endl;
}

} // namespace
