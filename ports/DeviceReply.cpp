#include "ports/DeviceReply.h"

#include <cstdio>

namespace {

constexpr std::size_t kLongestShown = 32;
constexpr int kMostDigits = 9;

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

ReplyCollector::State ReplyCollector::add(char byte)
{
    if (state_ != State::Incomplete)
        return state_;
    if (byte == '\r' || byte == '\n') {
        // A terminator before any text ends the echo of a request, or is a stray one: keep reading.
        if (!text_.empty())
            state_ = State::Complete;
        return state_;
    }
    const auto code = static_cast<unsigned char>(byte);
    if (code < 0x20 || code == 0x7F)
        return state_;
    text_ += byte;
    if (!echo_.empty() && text_ == echo_)
        text_.clear();
    else if (text_.size() > kLongestReply)
        state_ = State::TooLong;
    return state_;
}

std::optional<long> replyNumber(std::string_view reply)
{
    std::size_t at = 0;
    while (at < reply.size() && isSpace(reply[at]))
        ++at;
    if (at < reply.size() && reply[at] == '+')
        ++at;
    long value = 0;
    int digits = 0;
    for (; at < reply.size() && isDigit(reply[at]); ++at) {
        if (++digits > kMostDigits)
            return std::nullopt;
        value = value * 10 + (reply[at] - '0');
    }
    if (digits == 0)
        return std::nullopt;
    if (at < reply.size() && reply[at] == '.') {
        ++at;
        while (at < reply.size() && isDigit(reply[at]))
            ++at;
    }
    while (at < reply.size() && isSpace(reply[at]))
        ++at;
    if (at != reply.size())
        return std::nullopt;
    return value;
}

std::string printableReply(std::string_view reply)
{
    std::string shown;
    for (std::size_t i = 0; i < reply.size() && i < kLongestShown; ++i) {
        const auto code = static_cast<unsigned char>(reply[i]);
        if (code >= 0x20 && code < 0x7F) {
            shown += reply[i];
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
            shown += escaped;
        }
    }
    if (reply.size() > kLongestShown)
        shown += "...";
    return shown;
}
