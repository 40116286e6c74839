#include "ports/BufferQuery.h"

#include "ports/DeviceReply.h"
#include "ports/DeviceStatus.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <algorithm>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::string_view kFreeSpace = "\x1B.B";
constexpr std::string_view kBufferSize = "\x1B.L";
constexpr std::string_view kStatus = "\x1B.O";
constexpr std::string_view kError = "\x1B.E";
constexpr std::string_view kAbort = "\x1B.K";
constexpr std::string_view kPosition = "OA;";

// How long a reply may take once its question has crossed the line; a question is asked twice.
constexpr milliseconds kReplyTime{1000};
constexpr int kAttempts = 2;
// The wait between the reads of a reply, so that the message step runs while the device thinks.
constexpr int kReadWaitMs = 20;
// A full buffer is asked again after this pause, and the device's state is looked at every second.
constexpr milliseconds kFullPause{50};
constexpr milliseconds kDrawingPause{100};
constexpr milliseconds kStateEvery{1000};
// Bytes a device has sent that no question asked for are read away before a question, this many at most.
constexpr std::size_t kMostStaleBytes = 4096;
// The writer waits until the buffer has room for this much (or for all that is left), so that a busy
// device is not fed a few bytes per question.
constexpr std::size_t kLargestRefill = 256;

// The part of a request a device that echoes would send back before its reply.
std::string echoOf(std::string_view request)
{
    std::string echo;
    for (const char c : request) {
        if (static_cast<unsigned char>(c) >= 0x20)
            echo += c;
    }
    return echo;
}

} // namespace

BufferQuery::BufferQuery(DeviceLine& line, unsigned bytesPerSecond)
    : line_(line), bytesPerSecond_(bytesPerSecond)
{
}

BufferQuery::Outcome BufferQuery::begin()
{
    credit_ = 0;
    inFlight_ = 0;
    told_.clear();
    long size = 0;
    const Outcome asked = askNumber(kBufferSize, size);
    if (asked != Outcome::Done)
        return asked;
    if (size <= 0)
        return fail(fillPlaceholders(strings::resultString(strings::IDS_DEVICE_BAD_ANSWER), {"0"}));
    size_ = static_cast<std::size_t>(size);
    return Outcome::Done;
}

BufferQuery::Outcome BufferQuery::allowance(std::size_t wanted, std::size_t& allowed)
{
    allowed = 0;
    if (credit_ == 0) {
        const std::size_t enough = std::max<std::size_t>(1, std::min({size_ / 4, kLargestRefill, wanted}));
        auto lastLook = Clock::now();
        for (;;) {
            long free = 0;
            const Outcome asked = askNumber(kFreeSpace, free);
            if (asked != Outcome::Done)
                return asked;
            credit_ = std::min(static_cast<std::size_t>(free), size_);
            if (credit_ >= enough) {
                told_.clear();
                break;
            }
            if (Clock::now() - lastLook >= kStateEvery) {
                lastLook = Clock::now();
                const Outcome looked = checkDevice();
                if (looked != Outcome::Done)
                    return looked;
            }
            const Outcome waited = pauseFor(kFullPause);
            if (waited != Outcome::Done)
                return waited;
        }
    }
    allowed = std::min(wanted, credit_);
    return Outcome::Done;
}

void BufferQuery::sent(std::size_t bytes)
{
    credit_ -= std::min(bytes, credit_);
    inFlight_ += bytes;
}

BufferQuery::Outcome BufferQuery::confirmEnd()
{
    told_.clear();
    auto lastLook = Clock::now();
    for (;;) {
        long free = 0;
        Outcome asked = askNumber(kFreeSpace, free);
        if (asked != Outcome::Done)
            return asked;
        if (static_cast<std::size_t>(free) >= size_)
            break;
        if (told_.empty())
            tell(strings::localString(strings::IDS_DEVICE_DRAWING));
        if (Clock::now() - lastLook >= kStateEvery) {
            lastLook = Clock::now();
            asked = checkDevice();
            if (asked != Outcome::Done)
                return asked;
        }
        asked = pauseFor(kDrawingPause);
        if (asked != Outcome::Done)
            return asked;
    }
    long error = 0;
    Outcome asked = askNumber(kError, error);
    if (asked != Outcome::Done)
        return asked;
    if (error != 0)
        return fail(deviceErrorText(error));
    std::string position;
    asked = ask(kPosition, position, false);
    told_.clear();
    return asked;
}

void BufferQuery::abort()
{
    line_.sendRequest(kAbort);
    credit_ = 0;
    inFlight_ = 0;
}

// The device's status and error: a paused device is told of and waited for, an error fails the pass.
BufferQuery::Outcome BufferQuery::checkDevice()
{
    long status = 0;
    Outcome asked = askNumber(kStatus, status);
    if (asked != Outcome::Done)
        return asked;
    if (deviceIsPaused(status))
        tell(pausedText(status));
    else if (!told_.empty())
        tell(strings::localString(strings::IDS_DEVICE_DRAWING));
    long error = 0;
    asked = askNumber(kError, error);
    if (asked != Outcome::Done)
        return asked;
    return error == 0 ? Outcome::Done : fail(deviceErrorText(error));
}

BufferQuery::Outcome BufferQuery::askNumber(std::string_view request, long& value)
{
    std::string reply;
    const Outcome asked = ask(request, reply, true);
    if (asked == Outcome::Done)
        value = *replyNumber(reply);
    return asked;
}

// Asks, and once more when no readable reply comes in time. Bytes nobody asked for are read away first, so
// that a late or unsolicited reply is not taken for this one.
BufferQuery::Outcome BufferQuery::ask(std::string_view request, std::string& reply, bool number)
{
    std::string unreadable;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        char bytes[64];
        for (std::size_t stale = 0; stale < kMostStaleBytes;) {
            const long got = line_.receive(bytes, sizeof bytes, 0);
            if (got < 0)
                return fail(strings::resultString(strings::IDS_PORT_HUNG_UP));
            if (got == 0)
                break;
            stale += static_cast<std::size_t>(got);
        }
        if (!line_.sendRequest(request))
            return fail(strings::resultString(strings::IDS_PORT_HUNG_UP));
        const auto crossing = bytesPerSecond_ > 0
                                  ? milliseconds((inFlight_ + request.size()) * 1000 / bytesPerSecond_)
                                  : milliseconds(0);
        inFlight_ = 0;
        const auto deadline = Clock::now() + crossing + kReplyTime;
        ReplyCollector collector(echoOf(request));
        ReplyCollector::State state = ReplyCollector::State::Incomplete;
        while (state == ReplyCollector::State::Incomplete && Clock::now() < deadline) {
            if (!line_.keepGoing())
                return Outcome::Stopped;
            const long got = line_.receive(bytes, sizeof bytes, kReadWaitMs);
            if (got < 0)
                return fail(strings::resultString(strings::IDS_PORT_HUNG_UP));
            for (long i = 0; i < got && state == ReplyCollector::State::Incomplete; ++i)
                state = collector.add(bytes[i]);
        }
        if (state == ReplyCollector::State::Complete && (!number || replyNumber(collector.text()))) {
            reply = collector.text();
            return Outcome::Done;
        }
        if (!collector.text().empty())
            unreadable = collector.text();
    }
    if (unreadable.empty())
        return fail(strings::resultString(strings::IDS_DEVICE_NO_ANSWER));
    return fail(fillPlaceholders(strings::resultString(strings::IDS_DEVICE_BAD_ANSWER),
                                 {printableReply(unreadable)}));
}

BufferQuery::Outcome BufferQuery::pauseFor(milliseconds time)
{
    const auto until = Clock::now() + time;
    while (Clock::now() < until) {
        if (!line_.keepGoing())
            return Outcome::Stopped;
        std::this_thread::sleep_for(std::min<Clock::duration>(milliseconds(10), until - Clock::now()));
    }
    return line_.keepGoing() ? Outcome::Done : Outcome::Stopped;
}

void BufferQuery::tell(const std::string& text)
{
    if (text == told_)
        return;
    told_ = text;
    if (notice_)
        notice_(text);
}

BufferQuery::Outcome BufferQuery::fail(std::string reason)
{
    failure_ = std::move(reason);
    return Outcome::Failed;
}
