#include "output/CommandFormat.h"

#include "output/CommandTemplate.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// The decimal digits of 0 to 99, two characters each.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

std::size_t decimalLength(std::uint32_t magnitude)
{
    std::size_t length = 1;
    for (std::uint64_t limit = 10; length < 10 && magnitude >= limit; limit *= 10)
        ++length;
    return length;
}

// Writes value in decimal at out and returns the number of characters written. The digits are written
// from the last one back, two at a time: a coordinate has four to six digits, and each division is dear.
std::size_t writeDecimal(char* out, std::int32_t value)
{
    // Work on the magnitude as unsigned so that the smallest 32-bit value does not overflow.
    const std::uint32_t bits = static_cast<std::uint32_t>(value);
    std::uint32_t magnitude = value < 0 ? 0u - bits : bits;
    std::size_t written = 0;
    if (value < 0)
        out[written++] = '-';
    written += decimalLength(magnitude);
    char* p = out + written;
    while (magnitude >= 100) {
        const std::uint32_t pair = 2 * (magnitude % 100);
        magnitude /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (magnitude >= 10) {
        *--p = kDigitPairs[2 * magnitude + 1];
        *--p = kDigitPairs[2 * magnitude];
    } else {
        *--p = static_cast<char>('0' + magnitude);
    }
    return written;
}

// The common form: literal bytes, "%d" and "%%" only. Returns false for anything else.
bool formatPlain(char* out, const char* text, const std::int32_t* args, int argCount, std::size_t& length)
{
    std::size_t used = 0;
    int next = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        // Leave room for the longest integer and the terminator.
        if (used + 12 >= kCommandBufferSize)
            return false;
        if (*p != '%') {
            out[used++] = *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            out[used++] = '%';
        } else if (*p == 'd' && next < argCount) {
            used += writeDecimal(out + used, args[next++]);
        } else {
            return false;
        }
    }
    out[used] = '\0';
    length = used;
    return true;
}

} // namespace

std::size_t formatCommand(char* out, const char* text, const std::int32_t* args, int argCount)
{
    std::size_t length = 0;
    if (formatPlain(out, text, args, argCount, length))
        return length;

    if (!isIntegerFormatFor(text, argCount)) {
        out[0] = '\0';
        return 0;
    }
    const std::int32_t a = argCount > 0 ? args[0] : 0;
    const std::int32_t b = argCount > 1 ? args[1] : 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    const int n = std::snprintf(out, kCommandBufferSize, text, a, b);
#pragma GCC diagnostic pop
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return std::strlen(out);
}
