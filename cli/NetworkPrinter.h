#pragma once

#include "net/IppPrinter.h"
#include "net/RawListener.h"
#include "net/StatusPage.h"

#include <memory>
#include <string>

struct ServerOptions;
struct StartupSettings;

// marquill-server on the network (--listen): the IPP printer and the raw socket, both writing the jobs
// they receive into the automatic receive folder, where the server's intake finds them.
class NetworkPrinter {
public:
    // Opens the listeners; false with the reason logged when one cannot be opened. The board stays the
    // caller's and must outlive the printer.
    bool start(const ServerOptions& options, const StartupSettings& settings, const std::string& home,
               NetJobBoard& board);
    // A stop signal came as the listeners opened: the server is to end as if stopped.
    bool stoppedAsItStarted() const { return ipp_ && ipp_->stoppedAsItStarted(); }
    // Serves the status page of the queue the server publishes, with the network jobs the journal of the
    // settings home records; call before start.
    void showQueue(const SharedQueueSnapshot& queue, const std::string& home)
    {
        status_ = std::make_unique<StatusPage>(queue, home);
    }

private:
    // Before the IPP printer, so that it outlives the system's threads that serve it.
    std::unique_ptr<StatusPage> status_;
    std::unique_ptr<IppPrinter> ipp_;
    std::unique_ptr<RawListener> raw_;
};
