#pragma once

#include <cstdint>

// Float to integer, truncated toward zero. A value with no 32-bit integer form (NaN, or beyond the
// range) gives INT32_MIN, the value the processor's own conversion gives, instead of undefined behaviour.
inline int32_t truncToInt(float v)
{
    if (v >= -2147483648.0f && v < 2147483648.0f)
        return static_cast<int32_t>(v);
    return INT32_MIN;
}
