#include "filters/Scanner.h"

#include "filters/PathSink.h"

#include <cmath>
#include <cstring>

namespace hpgl {

namespace {

constexpr unsigned char kEscape = 0x1B;
// A quoted string longer than this is taken for a stray quote mark.
constexpr size_t kMaxQuotedText = 512;
// A device-control parameter list longer than this is not one.
constexpr size_t kMaxDeviceControl = 64;
// Larger binary payloads of PCL sequences are taken as running to the end of the file.
constexpr size_t kMaxPayload = size_t{1} << 40;

bool isLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

double powerOfTen(int exponent)
{
    static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (exponent >= 0 && exponent <= 22)
        return kExact[exponent];
    if (exponent < 0 && exponent >= -22)
        return 1 / kExact[-exponent];
    return std::pow(10.0, exponent);
}

} // namespace

bool Scanner::startsWith(const char* text) const
{
    size_t n = std::strlen(text);
    return static_cast<size_t>(end_ - pos_) >= n && std::memcmp(pos_, text, n) == 0;
}

uint16_t Scanner::nextInstruction()
{
    while (pos_ < end_) {
        unsigned char c = *pos_;
        if (isLetter(c)) {
            if (pos_ + 1 < end_ && isLetter(pos_[1])) {
                auto code = static_cast<uint16_t>(((c & 0xDF) << 8) | (pos_[1] & 0xDF));
                pos_ += 2;
                return code;
            }
            ++pos_;
        } else if (c == kEscape) {
            if (uint16_t event = skipEscapeSequence())
                return event;
        } else if (c == '"') {
            skipQuotedText();
        } else if (c == '@' && startsWith("@PJL")) {
            const void* lineEnd = std::memchr(pos_, '\n', static_cast<size_t>(end_ - pos_));
            pos_ = lineEnd ? static_cast<const unsigned char*>(lineEnd) + 1 : end_;
        } else {
            ++pos_;
        }
    }
    return 0;
}

// Parameters in quotes (picture names, comments) may hold letters that must not be read as mnemonics.
void Scanner::skipQuotedText()
{
    size_t room = static_cast<size_t>(end_ - pos_) - 1;
    size_t limit = room < kMaxQuotedText ? room : kMaxQuotedText;
    const void* close = std::memchr(pos_ + 1, '"', limit);
    pos_ = close ? static_cast<const unsigned char*>(close) + 1 : pos_ + 1;
}

// Passes over one escape sequence; returns the event it stands for, or 0.
uint16_t Scanner::skipEscapeSequence()
{
    ++pos_; // ESC
    if (pos_ >= end_)
        return 0;
    unsigned char c = *pos_++;
    if (c == '.') {
        // HP device control: ESC . letter, with an optional parameter list ending in ':'.
        if (pos_ >= end_)
            return 0;
        ++pos_;
        for (size_t i = 0; i < kMaxDeviceControl && pos_ + i < end_; ++i) {
            unsigned char p = pos_[i];
            if (p == ':') {
                pos_ += i + 1;
                return 0;
            }
            if (!isDigit(p) && p != ';' && p != ',' && p != ' ' && p != '+' && p != '-' && p != '.')
                return 0;
        }
        return 0;
    }
    if (c == '%') {
        // PCL language switch: ESC % [-]digits letter; B enters HP-GL/2.
        if (pos_ < end_ && (*pos_ == '-' || *pos_ == '+'))
            ++pos_;
        while (pos_ < end_ && isDigit(*pos_))
            ++pos_;
        if (pos_ < end_ && isLetter(*pos_))
            return *pos_++ == 'B' ? kEnterHpgl2 : 0;
        return 0;
    }
    if (c == 'E')
        return kPageEject; // PCL reset, which prints the page so far
    if (c < 0x21 || c > 0x2F)
        return 0; // another two-byte sequence
    // PCL parameterised sequence: ESC, parameter character, group character, then value and
    // parameter letter pairs; lower-case letters chain another pair, upper case ends the sequence.
    const bool pageControl = c == '&' && pos_ < end_ && *pos_ == 'l';
    if (pos_ < end_ && *pos_ >= 0x60 && *pos_ <= 0x7E)
        ++pos_;
    uint16_t event = 0;
    while (pos_ < end_) {
        const unsigned char* valueStart = pos_;
        if (*pos_ == '+' || *pos_ == '-')
            ++pos_;
        while (pos_ < end_ && (isDigit(*pos_) || *pos_ == '.'))
            ++pos_;
        if (pos_ >= end_)
            return event;
        unsigned char letter = *pos_;
        // ESC&l0H: eject the page.
        if (pageControl && (letter | 0x20) == 'h' && pos_ - valueStart == 1 && *valueStart == '0')
            event = kPageEject;
        if (letter >= 'a' && letter <= 'z') {
            ++pos_;
            continue;
        }
        if (letter >= '@' && letter <= '^') {
            ++pos_;
            if (letter == 'W') {
                // A binary payload of `value` bytes follows (raster or font data).
                size_t count = 0;
                const unsigned char* d = valueStart;
                if (*d == '+' || *d == '-')
                    ++d;
                for (; d < pos_ - 1 && isDigit(*d); ++d)
                    count = count < kMaxPayload ? count * 10 + (*d - '0') : count;
                size_t room = static_cast<size_t>(end_ - pos_);
                pos_ += count < room ? count : room;
            }
        }
        return event;
    }
    return event;
}

void Scanner::skipSeparators()
{
    const unsigned char* p = pos_;
    while (p < end_ && (*p == ' ' || *p == ',' || (*p < 0x20 && *p != kEscape)))
        ++p;
    pos_ = p;
}

bool Scanner::readNumber(double& value)
{
    skipSeparators();
    // The position is kept in a local while digits are read, so that it stays in a register.
    const unsigned char* p = pos_;
    if (p >= end_)
        return false;
    unsigned char c = *p;
    if (c == ';') {
        pos_ = p + 1;
        return false;
    }
    if (!isDigit(c) && c != '-' && c != '+' && c != '.')
        return false;

    bool negative = c == '-';
    if (c == '-' || c == '+')
        ++p;
    // Digits past the 17th only scale the value; they cannot change it within a double's precision.
    constexpr int kMantissaDigits = 17;
    const unsigned char* digits = p;
    const unsigned char* mantissaEnd = end_ - digits > kMantissaDigits ? digits + kMantissaDigits : end_;
    uint64_t mantissa = 0;
    while (p < mantissaEnd && isDigit(*p))
        mantissa = mantissa * 10 + (*p++ - '0');
    int exponent = 0;
    while (p < end_ && isDigit(*p)) {
        ++exponent;
        ++p;
    }
    bool anyDigit = p > digits;
    constexpr uint64_t kMantissaLimit = 100000000000000000ULL; // 1e17: room for one more digit
    if (p < end_ && *p == '.') {
        ++p;
        while (p < end_ && isDigit(*p)) {
            if (mantissa < kMantissaLimit) {
                mantissa = mantissa * 10 + (*p - '0');
                --exponent;
            }
            anyDigit = true;
            ++p;
        }
    }
    pos_ = p;
    if (!anyDigit)
        return false;
    if (p + 1 < end_ && (*p | 0x20) == 'e') {
        const unsigned char* q = p + 1;
        bool negativeExponent = *q == '-';
        if (*q == '-' || *q == '+')
            ++q;
        if (q < end_ && isDigit(*q)) {
            int e = 0;
            while (q < end_ && isDigit(*q)) {
                if (e < 10000)
                    e = e * 10 + (*q - '0');
                ++q;
            }
            exponent += negativeExponent ? -e : e;
            pos_ = q;
        }
    }
    double magnitude = mantissa == 0 ? 0.0 : static_cast<double>(mantissa) * powerOfTen(exponent);
    if (!(magnitude <= kPlotterRange))
        magnitude = kPlotterRange;
    value = negative ? -magnitude : magnitude;
    return true;
}

int Scanner::numbers(double* values, int max)
{
    int n = 0;
    double v;
    while (number(v)) {
        if (n < max)
            values[n++] = v;
    }
    return n;
}

} // namespace hpgl
