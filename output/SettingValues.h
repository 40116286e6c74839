#pragma once

#include <cmath>
#include <cstdint>

// Corrections shared by the settings readers, so that a value typed into a file by hand can never
// reach the output as a number the device or the arithmetic cannot take.

inline std::uint16_t clampToUint16(int value)
{
    if (value < 0)
        return 0;
    return value > 0xFFFF ? 0xFFFF : static_cast<std::uint16_t>(value);
}

// value when it is a finite number above zero, else fallback.
inline float positiveOr(float value, float fallback)
{
    return value > 0.0f && std::isfinite(value) ? value : fallback;
}

inline float finiteOr(float value, float fallback) { return std::isfinite(value) ? value : fallback; }

// value when it is a finite number from lowest to highest, else fallback.
inline float withinOr(float value, float lowest, float highest, float fallback)
{
    return value >= lowest && value <= highest ? value : fallback;
}
