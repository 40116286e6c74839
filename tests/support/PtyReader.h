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
    // The rate is a bucket that holds at most 50 ms of bytes, so a device idle while the sender waits
    // does not take the next copy in one gulp.
    void run()
    {
        using Clock = std::chrono::steady_clock;
        char buffer[65536];
        const double burst = std::max(rate_ / 20.0, 1.0);
        double credit = 0;
        auto last = Clock::now();
        while (!done_) {
            std::size_t allowed = sizeof buffer;
            if (rate_ > 0) {
                const auto now = Clock::now();
                credit = std::min(credit + std::chrono::duration<double>(now - last).count() * rate_, burst);
                last = now;
                allowed = std::min(static_cast<std::size_t>(credit), sizeof buffer);
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
            credit -= static_cast<double>(got);
        }
    }

    int master_;
    int rate_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};
