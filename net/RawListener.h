#pragma once

#include "net/NetLog.h"

#include <cstdint>
#include <string>
#include <thread>

class NetJobBoard;

// The raw socket of a network printer (the "Standard TCP/IP port" of a plotter driver, 9100): every
// connection carries one job, from its first byte to the client closing its side. A job whose first bytes
// are not HP-GL is refused; a connection that breaks, stays silent for a minute or sends more than the
// job size limit leaves nothing behind. Connections are taken one at a time, as a printer's raw port
// takes them.
class RawListener {
public:
    struct Limits {
        std::uint64_t maxJobBytes = 0; // 0: no limit
        int silenceMs = 60 * 1000;     // a client that sends nothing this long has gone away
    };

    RawListener(std::string receiveFolder, NetLog log);
    // board (may be null) learns of every job received, so that the queue lists it at once.
    RawListener(std::string receiveFolder, NetLog log, Limits limits, NetJobBoard* board);
    ~RawListener();
    RawListener(const RawListener&) = delete;
    RawListener& operator=(const RawListener&) = delete;

    // Listens on address (a host name or a numeric address) and port, and serves in a thread of its own.
    // False with a message in error when the socket cannot be opened.
    bool start(const std::string& address, int port, std::string& error);
    // The port listened on: the one asked for, or the one the system chose for port 0.
    int port() const;

private:
    void serve();
    void receive(int connection);

    std::string folder_;
    NetLog log_;
    Limits limits_;
    NetJobBoard* board_;
    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
};
