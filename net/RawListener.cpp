#include "net/RawListener.h"

#include "net/NetJobBoard.h"
#include "net/ReceivedFile.h"
#include "plotdata/HpglSniff.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

// Connections waiting to be taken while one job comes in.
constexpr int BACKLOG = 128;
// Enough of the start to tell HP-GL from other documents.
constexpr std::size_t SNIFF_BYTES = 64;

enum class ReadResult { Data, End, Broken, Stopped };

// A raw job carries no name: it is named after the time it arrived, so that a name is not used again for
// a later job once the plotted file is deleted.
std::string rawJobName()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char name[64] = "raw-job.plt";
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(name, sizeof name, "raw-%Y%m%d-%H%M%S.plt", &local);
    return name;
}

} // namespace

RawListener::RawListener(std::string receiveFolder, NetLog log)
    : RawListener(std::move(receiveFolder), std::move(log), Limits(), nullptr)
{
}

RawListener::RawListener(std::string receiveFolder, NetLog log, Limits limits, NetJobBoard* board)
    : folder_(std::move(receiveFolder)), log_(std::move(log)), limits_(limits), board_(board)
{
}

RawListener::~RawListener()
{
    if (thread_.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopPipe_[1], &byte, 1);
        thread_.join();
    }
    for (const int fd : {listenFd_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0)
            ::close(fd);
}

bool RawListener::start(const std::string& address, int port, std::string& error)
{
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int status =
        ::getaddrinfo(address.empty() ? nullptr : address.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        error = "cannot resolve " + address + ": " + ::gai_strerror(status);
        return false;
    }
    for (const addrinfo* at = found; at != nullptr && listenFd_ < 0; at = at->ai_next) {
        const int fd = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, at->ai_protocol);
        if (fd < 0)
            continue;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, at->ai_addr, at->ai_addrlen) == 0 && ::listen(fd, BACKLOG) == 0)
            listenFd_ = fd;
        else
            ::close(fd);
    }
    ::freeaddrinfo(found);
    if (listenFd_ < 0 || ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        error = "cannot listen on " + address + ":" + service + ": " + std::strerror(errno);
        return false;
    }
    thread_ = std::thread([this] { serve(); });
    return true;
}

int RawListener::port() const
{
    sockaddr_storage address = {};
    socklen_t size = sizeof address;
    if (::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 0;
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
    return ntohs(address.ss_family == AF_INET6 ? v6->sin6_port : v4->sin_port);
}

void RawListener::serve()
{
    while (true) {
        pollfd fds[2] = {{stopPipe_[0], POLLIN, 0}, {listenFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        if ((fds[1].revents & POLLIN) == 0)
            continue;
        const int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        receive(connection);
        ::close(connection);
    }
}

void RawListener::receive(int connection)
{
    std::vector<unsigned char> buffer(64 * 1024);
    std::size_t held = 0;
    const auto read = [&](std::size_t from) {
        pollfd fds[2] = {{stopPipe_[0], POLLIN, 0}, {connection, POLLIN, 0}};
        const int ready = ::poll(fds, 2, limits_.silenceMs);
        if (fds[0].revents != 0)
            return ReadResult::Stopped;
        if (ready <= 0)
            return ReadResult::Broken;
        const ssize_t got = ::recv(connection, buffer.data() + from, buffer.size() - from, 0);
        if (got < 0)
            return errno == EINTR ? ReadResult::Data : ReadResult::Broken;
        held = from + static_cast<std::size_t>(got);
        return got == 0 ? ReadResult::End : ReadResult::Data;
    };

    ReadResult result = ReadResult::Data;
    while (held < SNIFF_BYTES && (result = read(held)) == ReadResult::Data) {
    }
    if (result == ReadResult::Broken || result == ReadResult::Stopped)
        return log_("raw job cut off before its start, nothing kept");
    if (!looksLikeHpgl(buffer.data(), held))
        return log_("raw job refused: not HP-GL");

    ReceivedFile file(folder_);
    std::uint64_t total = held;
    const auto tooLarge = [&] { return limits_.maxJobBytes > 0 && total > limits_.maxJobBytes; };
    while (!tooLarge() && file.write(buffer.data(), held) && result == ReadResult::Data) {
        result = read(0);
        total += held;
    }
    if (tooLarge() && result == ReadResult::Data)
        return log_("raw job refused: larger than " + std::to_string(limits_.maxJobBytes) +
                    " bytes, nothing kept");
    if (!file.good())
        return log_("raw job lost: cannot write into " + folder_);
    if (result != ReadResult::End)
        return log_("raw job cut off, nothing kept");
    const std::string path = file.deliver(rawJobName());
    log_(path.empty() ? "raw job lost: cannot move it into " + folder_ : "raw job received: " + path);
    if (!path.empty() && board_ != nullptr)
        board_->received(path, 1);
}
