#pragma once

#include <cstddef>
#include <cstdint>

namespace hpgl {

// Two upper-case letters of a mnemonic packed into one value, e.g. mnemonic("PD").
constexpr uint16_t mnemonic(const char (&name)[3])
{
    return static_cast<uint16_t>((static_cast<unsigned char>(name[0]) << 8) | static_cast<unsigned char>(name[1]));
}

// Splits an HP-GL byte stream into instructions and their parameters, in place and without allocation.
// Printer-language framing around the plot (PJL lines, PCL and HP device-control escape sequences,
// control bytes) is passed over.
class Scanner {
public:
    Scanner(const unsigned char* data, size_t size) : pos_(data), end_(data + size) {}

    // Moves past everything up to the next mnemonic and returns it (case folded), or 0 at the end.
    uint16_t nextInstruction();

    // The next numeric parameter of the current instruction. False when the parameters end: at a
    // terminator (consumed), at the next mnemonic or at anything else that is not a number.
    bool number(double& value);
    // Reads up to `max` numbers and returns how many; numbers beyond `max` are passed over.
    int numbers(double* values, int max);

    // Raw bytes, for instructions whose parameters are text or encoded data.
    bool atEnd() const { return pos_ >= end_; }
    int peek() const { return pos_ < end_ ? *pos_ : -1; }
    int take() { return pos_ < end_ ? *pos_++ : -1; }
    const unsigned char* position() const { return pos_; }
    size_t remaining() const { return static_cast<size_t>(end_ - pos_); }
    void skip(size_t n) { pos_ += n < remaining() ? n : remaining(); }

private:
    void skipSeparators();
    void skipEscapeSequence();
    void skipQuotedText();
    bool startsWith(const char* text) const;

    const unsigned char* pos_;
    const unsigned char* end_;
};

} // namespace hpgl
