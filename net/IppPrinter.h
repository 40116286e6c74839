#pragma once

#include "net/NetLog.h"

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

struct _pappl_system_s;

// The IPP Everywhere printer: a printer-application system with one printer, named after the device
// profile, that takes HP-GL documents (application/vnd.hp-HPGL, and application/octet-stream whose first
// bytes are HP-GL) and hands every job whole to the receive folder. A job in another format ends aborted:
// the library (1.3) takes a job in any format at submission, even one it does not list as supported.
class IppPrinter {
public:
    struct Setup {
        std::string address; // "localhost", "*" for every address, or a host name or numeric address
        int port = 0;
        std::string printerName;
        std::string receiveFolder; // a file-system path
        std::string spoolFolder;   // where the system keeps documents until they are handed on
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
    // Adds pages of our own to the system's web server as it starts; call before start.
    void addPages(std::function<void(_pappl_system_s*)> add) { addPages_ = std::move(add); }
    // The printer's URI path: the system has one printer.
    static constexpr const char* PRINTER_PATH = "/ipp/print";

    // Hands one received document to the receive folder. Public for the driver's callbacks.
    bool deliver(const std::string& documentPath, const std::string& jobName);
    void noteRunning();

private:
    Setup setup_;
    NetLog log_;
    _pappl_system_s* system_ = nullptr;
    std::promise<void> running_;
    std::atomic<bool> runningNoted_ = false;
    std::thread thread_;
    std::function<void(_pappl_system_s*)> addPages_;
};
