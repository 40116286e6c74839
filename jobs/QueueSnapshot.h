#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CAutoJobList;
struct ServerSettings;

// What the automatic queue shows at one moment, copied out of the run for readers in other threads (the
// network printer's status page). The run owns the queue; nothing here points into it.
struct QueueSnapshot {
    struct Job {
        // The path as the queue lists it, in the settings' form.
        std::string path;
        // The state column's text: the job's state, or on the running row the progress of its copy.
        std::string stateText;
        std::uint16_t state = 0;
        bool running = false;
        std::int32_t copies = 0;
        std::int32_t copiesDone = 0;
        // Millimetres along the media's length and across it; 0 when not measured yet.
        std::int32_t length = 0;
        std::int32_t width = 0;
        // The estimated plotting time of the copies still to do, known while the job's copy runs;
        // negative when not known.
        double secondsLeft = -1;
    };
    struct Failure {
        std::string path;
        std::string text;
        int number = 0;
        int copies = 0;
        std::time_t ended = 0;
    };

    std::vector<Job> jobs;
    // The last failed copies, newest first.
    std::vector<Failure> failures;
    std::string device;
    // Millimetres of media left on the roll.
    std::int64_t mediaLeft = 0;
    bool inchUnits = false;
    std::time_t taken = 0;
};

// Copies the queue's rows and the roll; the failures are the caller's to fill in.
QueueSnapshot takeSnapshot(const CAutoJobList& list, const ServerSettings& settings,
                           const std::string& device);

// The last snapshot the run published. The run publishes from its own thread; readers in any thread get a
// whole snapshot, never one half-written, and keep it as long as they need it.
class SharedQueueSnapshot {
public:
    void publish(QueueSnapshot snapshot);
    // Null until the first publication.
    std::shared_ptr<const QueueSnapshot> latest() const;

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const QueueSnapshot> latest_;
};
