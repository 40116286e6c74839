#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hpgl {

// Two upper-case letters of a mnemonic packed into one value, e.g. mnemonic("PD").
constexpr uint16_t mnemonic(const char (&name)[3])
{
    return static_cast<uint16_t>((static_cast<unsigned char>(name[0]) << 8) |
                                 static_cast<unsigned char>(name[1]));
}

// Printer-language events that matter to the drawing, returned by nextInstruction like mnemonics (no
// mnemonic has these values): the PCL page eject (ESC&l0H) and reset (ESC E), and the switch into
// HP-GL/2 (ESC%nB).
inline constexpr uint16_t kPageEject = 1;
inline constexpr uint16_t kEnterHpgl2 = 2;

// Splits an HP-GL byte stream into instructions and their parameters, in place and without allocation.
// Printer-language framing around the plot (PJL lines, PCL and HP device-control escape sequences,
// control bytes) is passed over.
class Scanner {
public:
    Scanner(const unsigned char* data, size_t size) : pos_(data), end_(data + size) {}

    // Moves past everything up to the next mnemonic and returns it (case folded), or one of the
    // printer-language events above, or 0 at the end.
    uint16_t nextInstruction();

    // The next numeric parameter of the current instruction. False when the parameters end: at a
    // terminator (consumed), at the next mnemonic or at anything else that is not a number.
    bool number(double& value)
    {
        // Short plain integers, the bulk of every plot file, are read here; everything else by
        // readNumber.
        const unsigned char* p = pos_;
        while (p < end_ && kSeparators[*p])
            ++p;
        const unsigned char* start = p;
        bool negative = p < end_ && *p == '-';
        if (negative)
            ++p;
        const unsigned char* digits = p;
        uint32_t magnitude = 0;
        if (end_ - p > 9) {
            // Room for nine digits and the byte after them: a loop of fixed length the compiler
            // can unroll.
            for (int i = 0; i < 9; ++i) {
                auto digit = static_cast<unsigned>(*p - '0');
                if (digit >= 10)
                    break;
                magnitude = magnitude * 10 + digit;
                ++p;
            }
        } else {
            while (p < end_ && static_cast<unsigned>(*p - '0') < 10 && p - digits < 9)
                magnitude = magnitude * 10 + static_cast<uint32_t>(*p++ - '0');
        }
        if (p > digits && (p >= end_ || !continuesNumber(*p))) {
            pos_ = p;
            value = negative ? -static_cast<double>(magnitude) : static_cast<double>(magnitude);
            return true;
        }
        pos_ = start;
        return readNumber(value);
    }
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
    // Commas, spaces and control characters other than ESC part numbers.
    static constexpr auto kSeparators = [] {
        std::array<bool, 256> table{};
        for (int c = 0; c < 0x20; ++c)
            table[c] = c != 0x1B;
        table[','] = table[' '] = true;
        return table;
    }();

    static bool continuesNumber(unsigned char c)
    {
        return (c >= '0' && c <= '9') || c == '.' || (c | 0x20) == 'e';
    }
    bool readNumber(double& value);
    void skipSeparators();
    uint16_t skipEscapeSequence();
    void skipQuotedText();
    bool startsWith(const char* text) const;

    const unsigned char* pos_;
    const unsigned char* end_;
};

} // namespace hpgl
