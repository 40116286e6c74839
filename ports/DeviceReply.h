#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Collects one reply of the device, byte by byte: the text before its carriage return or line feed. The
// flow-control bytes XON and XOFF, and any other control byte the device sends on its own, are left out,
// and so is an echo of the request before the reply. A reply that runs past kLongestReply bytes without its
// end is refused, so that an endless reply costs neither time nor memory.
class ReplyCollector {
public:
    static constexpr std::size_t kLongestReply = 80;
    enum class State { Incomplete, Complete, TooLong };

    // echo: the printable part of the request, as a device that echoes would send it back first.
    explicit ReplyCollector(std::string echo = {}) : echo_(std::move(echo)) {}

    State add(char byte);
    // The reply so far, without its terminator.
    const std::string& text() const { return text_; }

private:
    std::string echo_;
    std::string text_;
    State state_ = State::Incomplete;
};

// The whole number of a reply: digits with white space around them and an optional plus sign; a decimal
// fraction is dropped. Nothing for an empty reply, a negative number, one of more than nine digits or
// anything else.
std::optional<long> replyNumber(std::string_view reply);

// The reply shown to the operator: printable ASCII as it is, anything else as \xNN, cut short after 32 bytes.
std::string printableReply(std::string_view reply);
