#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// What the queue and the network printer tell each other about the jobs that came in over the network.
// The printer records the copies a client ordered and passes on a client's cancel; the queue takes the
// copies up when it lists the file, and reports how each job and the plotter fare. The two sides run in
// threads of their own; every call takes the board's lock, and none blocks for long.
// Jobs are known by the file's path on the file system.
class NetJobBoard {
public:
    enum class JobState { Queued, Plotting, WaitingForMedia, Completed, Failed, Canceled };
    struct JobStatus {
        JobState state = JobState::Queued;
        int copiesDone = 0;
        std::string text; // why it failed or was canceled
        bool operator==(const JobStatus&) const = default;
    };
    struct PrinterStatus {
        bool plotting = false;
        bool mediaNeeded = false; // a job waits for a longer roll
        bool offline = false;     // the last copy could not open the port
        int rollLeft = 0;         // millimetres
        int rollLoaded = 0;       // millimetres on the roll when it was last reloaded
        // Below a tenth of the roll as it was loaded.
        bool mediaLow() const { return rollLoaded > 0 && rollLeft < rollLoaded / 10; }
        // The roll left in percent of the roll as loaded, -1 when not known.
        int rollPercent() const;
        bool operator==(const PrinterStatus&) const = default;
    };

    NetJobBoard();
    ~NetJobBoard();
    NetJobBoard(const NetJobBoard&) = delete;
    NetJobBoard& operator=(const NetJobBoard&) = delete;

    // The network side. received() enters a file just moved into the receive folder and wakes the queue,
    // which lists it at once: the file is whole, it needs no wait for its writer to finish.
    void received(const std::string& path, int copies);
    // False when the board does not know the job.
    bool status(const std::string& path, JobStatus& status) const;
    void cancel(const std::string& path);
    void forget(const std::string& path);
    // Waits until the queue reports something, or the time passes, or the board is shut.
    void waitForNews(std::chrono::milliseconds most) const;
    PrinterStatus printer() const;
    // Ends every wait: the program is ending.
    void shut();
    bool isShut() const;

    // The queue's side. The copies ordered for a file, once: 0 when it did not come over the network or
    // its copies were taken up already.
    int takeCopies(const std::string& path);
    // The files received since the last call, in the order they came.
    std::vector<std::string> takeArrivals();
    bool isNetworkJob(const std::string& path) const;
    // Whether any cancel waits to be carried out, without taking the lock (for the run's message step).
    bool cancelsPending() const { return cancels_.load() > 0; }
    bool cancelRequested(const std::string& path) const;
    void update(const std::string& path, const JobStatus& status);
    void updatePrinter(const PrinterStatus& status);
    // Readable when a file or a cancel has come in: the queue's loop waits on it as well.
    int wakeupFd() const { return wakeup_; }
    void drainWakeups() const;

    // The copies ordered for a received file, kept beside it in the receive folder's hidden folder so
    // that a restart does not lose them: saved when the file arrives, removed when its job has ended.
    // takeSavedCopies() reads and removes them; 0 when none were saved for this very file (the same
    // inode).
    static void saveCopies(const std::string& path, int copies);
    static int takeSavedCopies(const std::string& path);
    static void removeSavedCopies(const std::string& path);

    // The key a path is known under: lexically normal, so that "in//a.plt" and "in/a.plt" meet.
    static std::string key(const std::string& path);

private:
    void wake();

    struct Entry {
        int copies = 1;
        bool copiesTaken = false;
        bool cancelPending = false; // asked for and not yet carried out
        JobStatus status;
    };

    mutable std::mutex mutex_;
    mutable std::condition_variable news_;
    std::map<std::string, Entry> jobs_;
    std::vector<std::string> arrivals_;
    PrinterStatus printer_;
    bool shut_ = false;
    std::atomic<int> cancels_ = 0;
    int wakeup_ = -1;
};
