#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// Building device command strings from the profile's printf-style templates.

// The largest command string one template can produce, terminator included: 19 template bytes and two
// integers in fields of up to 99 characters.
constexpr std::size_t kCommandBufferSize = 256;

// Truncates toward zero into a 32-bit device coordinate. NaN gives 0; values beyond the 32-bit range are
// held at its ends, so no coordinate ever reaches the device as anything but a plain integer. Inline: it
// runs for both coordinates of every point sent.
inline std::int32_t toDeviceInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// Formats a template with up to two integer arguments into out (kCommandBufferSize bytes) and returns the
// length of the NUL-terminated result. A template that asks for more arguments than given, or for
// anything but integer conversions, gives the empty string, whatever the profile check let through.
// Templates made only of "%d", "%%" and literal bytes, which is what device languages use, are formatted
// without the C library.
std::size_t formatCommand(char* out, const char* text, const std::int32_t* args, int argCount);
