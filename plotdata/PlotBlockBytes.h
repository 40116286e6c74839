#pragma once

#include "geometry/Rect.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

// Items and matrices are copied between blocks and memory as raw bytes, which is right on little-endian
// hosts only.
static_assert(std::endian::native == std::endian::little, "plot blocks are little-endian");

// Little-endian fields of plot blocks, read from and appended to byte buffers.
namespace plotblock {

inline std::uint32_t readU32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}
inline std::int32_t readI32(const std::uint8_t* p) { return static_cast<std::int32_t>(readU32(p)); }
inline std::uint16_t readU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline float readFloat(const std::uint8_t* p)
{
    const std::uint32_t bits = readU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
inline FRect readRect(const std::uint8_t* p)
{
    return FRect{readFloat(p), readFloat(p + 4), readFloat(p + 8), readFloat(p + 12)};
}

inline void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
inline void appendU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void appendFloat(std::vector<std::uint8_t>& out, float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    appendU32(out, bits);
}
inline void appendRect(std::vector<std::uint8_t>& out, const FRect& r)
{
    appendFloat(out, r.left);
    appendFloat(out, r.top);
    appendFloat(out, r.right);
    appendFloat(out, r.bottom);
}

} // namespace plotblock
