#pragma once

#include <cstdint>
#include <cstring>

// One record of a path: a point with flag bits, or a special record (colour change, end of list).
// Nine bytes back to back, the same bytes as in a plot block.
struct __attribute__((packed)) PathItem {
    float x = 0.0f;
    float y = 0.0f;
    uint8_t flags = 0;
};

static_assert(sizeof(PathItem) == 9, "a path item is x, y and a flag byte, back to back");

// The item is a point on the path; clear on a point item, it is a Bezier control point.
constexpr uint8_t PI_ANCHOR = 0x01;
// Start of a figure, when the item's flags AND PI_FIGURE_BITS equal PI_MOVETO.
constexpr uint8_t PI_MOVETO = 0x10;
// The figure ends at this point and stays open.
constexpr uint8_t PI_ENDOPEN = 0x20;
// The figure ends at this point and is closed.
constexpr uint8_t PI_CLOSE = 0x40;
// The item is not a point; its whole flag byte says what it is.
constexpr uint8_t PI_SPECIAL = 0x80;
// Colour change: bytes 0, 1 and 2 of the record hold red, green and blue.
constexpr uint8_t PI_COLOR = 0x81;
// End of the item list.
constexpr uint8_t PI_END = 0xFF;

constexpr uint8_t PI_FIGURE_BITS = 0x70;

inline bool isSpecial(const PathItem& item) { return (item.flags & PI_SPECIAL) != 0; }
// A point of the path, as opposed to a control point or a special item.
inline bool isAnchor(const PathItem& item) { return !isSpecial(item) && (item.flags & PI_ANCHOR) != 0; }
inline bool isControlPoint(const PathItem& item) { return !isSpecial(item) && (item.flags & PI_ANCHOR) == 0; }
inline bool isMoveTo(const PathItem& item)
{
    return isAnchor(item) && (item.flags & PI_FIGURE_BITS) == PI_MOVETO;
}

// The colour of a PI_COLOR item as a 0x00BBGGRR value.
inline uint32_t itemColor(const PathItem& item)
{
    const float x = item.x;
    uint8_t bytes[4];
    std::memcpy(bytes, &x, sizeof bytes);
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16);
}

// A PI_COLOR item for a 0x00BBGGRR value.
inline PathItem colorItem(uint32_t color)
{
    const uint8_t bytes[4] = {uint8_t(color), uint8_t(color >> 8), uint8_t(color >> 16), 0};
    float x;
    std::memcpy(&x, bytes, sizeof x);
    return PathItem{x, 0.0f, PI_COLOR};
}
