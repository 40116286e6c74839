#pragma once

#include <cstdint>

// The only pen style the preview draws with.
constexpr int PS_SOLID = 0;

// A pen of a drawing surface.
struct CPen {
    int style = PS_SOLID;
    int width = 1;
    // 0x00BBGGRR: red in the low byte.
    uint32_t colour = 0;

    bool operator==(const CPen&) const = default;
};
