#pragma once

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>

// Drains the master side of a pseudo-terminal on a thread of its own, at a byte rate, or as fast as it can
// with rate 0, until the object goes.
class PtyReader {
public:
    explicit PtyReader(int master, int bytesPerSecond = 0)
        : master_(master), rate_(bytesPerSecond), thread_([this] { run(); })
    {
    }
    ~PtyReader()
    {
        done_ = true;
        thread_.join();
    }
    PtyReader(const PtyReader&) = delete;
    PtyReader& operator=(const PtyReader&) = delete;

private:
    void run()
    {
        using Clock = std::chrono::steady_clock;
        char buffer[65536];
        const auto start = Clock::now();
        std::size_t taken = 0;
        while (!done_) {
            std::size_t allowed = sizeof buffer;
            if (rate_ > 0) {
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                const auto due = static_cast<std::size_t>(seconds * rate_);
                allowed = due > taken ? std::min(due - taken, sizeof buffer) : 0;
            }
            if (allowed == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            pollfd ready{master_, POLLIN, 0};
            if (poll(&ready, 1, 10) <= 0)
                continue;
            const ssize_t got = read(master_, buffer, allowed);
            if (got < 0)
                return;
            taken += static_cast<std::size_t>(got);
        }
    }

    int master_;
    int rate_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};
