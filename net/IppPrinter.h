#pragma once

#include "jobs/NetworkJobJournal.h"
#include "net/NetJobBoard.h"
#include "net/NetLog.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct _pappl_job_s;
struct _pappl_printer_s;
struct _pappl_system_s;

// The IPP Everywhere printer: a printer-application system with one printer, named after the device
// profile, that takes HP-GL documents (application/vnd.hp-HPGL, and application/octet-stream whose first
// bytes are HP-GL) and hands every job whole to the receive folder. The IPP job then follows the queue's
// job: processing while it is plotted, completed when all its copies are, aborted or canceled as the queue
// reports. A job in another format ends aborted: the library (1.3) takes a job in any format at
// submission, even one it does not list as supported (it checks the format against printer attributes
// that do not hold the supported formats, and calls no hook of ours before it answers).
class IppPrinter {
public:
    struct Setup {
        std::string address; // "localhost", "*" for every address, or a host name or numeric address
        int port = 0;
        std::string printerName;
        std::string receiveFolder; // a file-system path
        std::string spoolFolder;   // where the system keeps documents until they are handed on
        NetJobBoard* board = nullptr;
        std::uint64_t maxJobBytes = 0; // 0: no limit
        // With a PAM service, a member of the group who signs in may do what the system keeps for
        // administrators; submitting and looking stay open to anyone. None: no sign-in.
        std::string pamService;
        std::string adminGroup;
        // Where the plot journal is, that records the jobs so that they outlast a restart; none: no record.
        std::string journalFolder;
    };

    IppPrinter(Setup setup, NetLog log);
    ~IppPrinter();
    IppPrinter(const IppPrinter&) = delete;
    IppPrinter& operator=(const IppPrinter&) = delete;

    // Opens the listeners and serves in a thread of its own; returns once the system runs. The system
    // takes SIGTERM, SIGINT and SIGHUP for itself as it starts: a program that handles them installs its
    // handlers again after this. False with a message in error when the system cannot be made or its
    // address cannot be listened on.
    bool start(std::string& error);
    // Whether start failed because a stop signal reached the system as it started.
    bool stoppedAsItStarted() const { return stoppedAsItStarted_; }
    // Adds pages of our own to the system's web server as it starts; call before start.
    void addPages(std::function<void(_pappl_system_s*)> add) { addPages_ = std::move(add); }
    // The printer's own document format.
    static constexpr const char* HPGL_FORMAT = "application/vnd.hp-HPGL";
    // The printer's URI path: the system has one printer.
    static constexpr const char* PRINTER_PATH = "/ipp/print";

    // Hands one received document to the receive folder; the path it got there, or empty with the reason
    // in why. Public for the driver's callbacks, as are the two after it.
    std::string deliver(const std::string& documentPath, const std::string& jobName, std::string& why);
    // Keeps the IPP job in step with the queue's job until it has ended there; true when all its copies
    // were plotted.
    bool follow(_pappl_job_s* job, const std::string& path, int copies);
    // The job recorded before a restart that this job takes up again, if it is one: its file is in the
    // receive folder already.
    std::optional<NetworkJobJournal::Job> takeUpAgain(_pappl_job_s* job);
    void noteRunning();
    // Gives an ended job its message: the library puts its own in place as the job ends, so the message
    // is set again, from the system's timer, once the job's state is final.
    void keepEndMessage(_pappl_job_s* job, std::string message);
    void showEndMessages();
    // Shows the plotter's state reported by the queue as the printer's state reasons and supply level.
    void showPrinterState();

private:
    void restoreJobs();
    void recordEnd(_pappl_job_s* job, const char* state, const std::string& message);

    Setup setup_;
    NetLog log_;
    _pappl_system_s* system_ = nullptr;
    _pappl_printer_s* printer_ = nullptr;
    NetJobBoard::PrinterStatus shown_;
    bool shownOnce_ = false;
    std::mutex endMessagesMutex_;
    std::vector<std::pair<int, std::string>> endMessages_; // job id, message
    std::promise<void> running_;
    std::atomic<bool> runningNoted_ = false;
    std::atomic<bool> stoppedAsItStarted_ = false;
    std::thread thread_;
    std::function<void(_pappl_system_s*)> addPages_;
    std::unique_ptr<NetworkJobJournal> journal_;
    // The jobs taken up again at the start, by IPP job id. They stay for the system's life: the system
    // keeps pointers to their names.
    struct TakenUp {
        NetworkJobJournal::Job job;
        bool processing = false;
    };
    std::mutex takenUpMutex_;
    std::map<int, TakenUp> takenUp_;
};
