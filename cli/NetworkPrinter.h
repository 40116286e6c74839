#pragma once

#include "net/IppPrinter.h"
#include "net/RawListener.h"

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

private:
    std::unique_ptr<IppPrinter> ipp_;
    std::unique_ptr<RawListener> raw_;
};
