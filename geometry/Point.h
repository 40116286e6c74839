#pragma once

#include <cstdint>

// A point in millimetres (in a job) or device units (during emission).
struct FPoint {
    float x = 0.0f;
    float y = 0.0f;

    bool operator==(const FPoint&) const = default;
};

// A point on a drawing surface.
struct IPoint {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const IPoint&) const = default;
};
