#pragma once

#include <ctime>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

// The IPP jobs received over the network, recorded in the plot journal (Journal.db of the settings
// folder) beside the copies plotted: a job's id, its file in the receive folder and how it ended. A job
// that had not ended when the server stopped is taken up again under its id at the next start, and the
// ids go on from the highest recorded, so that a client asking after its job never meets another's.
// The network printer's threads share one connection; every call takes the lock.
class NetworkJobJournal {
public:
    // The end states, as IPP names them.
    static constexpr const char* COMPLETED = "completed";
    static constexpr const char* ABORTED = "aborted";
    static constexpr const char* CANCELED = "canceled";

    struct Job {
        int id = 0;
        std::string path; // the file in the receive folder
        std::string name;
        std::string user;
        int copies = 1;
        std::time_t received = 0;
        std::time_t ended = 0; // 0 while the job has not ended
        std::string state;     // one of the end states once ended
        std::string message;
    };

    // Opens, and makes when missing, folder/Journal.db; a journal that cannot be opened records nothing.
    explicit NetworkJobJournal(const std::string& folder);
    ~NetworkJobJournal();
    NetworkJobJournal(const NetworkJobJournal&) = delete;
    NetworkJobJournal& operator=(const NetworkJobJournal&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    // Records a job as it is handed to the queue; a job taken up again after a restart keeps its row.
    void received(const Job& job);
    void ended(int id, const char* state, const std::string& message);
    // The jobs that have not ended, oldest first.
    std::vector<Job> unended() const;
    // The jobs received last, newest first.
    std::vector<Job> recent(int limit) const;
    // The highest id recorded, 0 for none.
    int highestId() const;
    // Whether the queue plotted every copy of the file, begun at or after the time given.
    bool plottedSince(const std::string& path, std::time_t since) const;

private:
    mutable std::mutex mutex_;
    sqlite3* db_ = nullptr;
};
