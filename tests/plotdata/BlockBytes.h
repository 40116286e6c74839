#pragma once

#include <cstdint>
#include <cstring>
#include <string>

// Plot blocks laid out byte by byte, independently of the program's writer, so that the reader is tested
// against the layout itself.
class BlockBytes {
public:
    BlockBytes& u8(std::uint8_t v)
    {
        bytes_.push_back(static_cast<char>(v));
        return *this;
    }
    BlockBytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    BlockBytes& i32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        return u8(u & 0xFF).u8((u >> 8) & 0xFF).u8((u >> 16) & 0xFF).u8(u >> 24);
    }
    BlockBytes& f32(float v)
    {
        std::int32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return i32(bits);
    }
    BlockBytes& item(float x, float y, std::uint8_t flags) { return f32(x).f32(y).u8(flags); }
    // Overwrites four bytes at offset with a little-endian value.
    BlockBytes& patchI32(std::size_t offset, std::int32_t v)
    {
        BlockBytes four;
        four.i32(v);
        bytes_.replace(offset, 4, four.bytes_);
        return *this;
    }

    // Plot header: ',' and a total size of 0 (set by finish), the identity transform, extent and tag.
    BlockBytes& plotHeader(float minX, float minY, float maxX, float maxY, std::int32_t tag)
    {
        u8(',').i32(0);
        for (int i = 0; i < 9; ++i)
            f32(i % 4 == 0 ? 1.0f : 0.0f);
        return f32(minX).f32(minY).f32(maxX).f32(maxY).i32(tag);
    }
    // Path block header for count items; the items and the end mark follow.
    BlockBytes& pathHeader(std::int32_t count, float minX, float minY, float maxX, float maxY,
                           std::uint16_t lineType, std::int32_t pen)
    {
        return u8('+')
            .i32(32 + 9 * count)
            .i32(count)
            .f32(minX)
            .f32(minY)
            .f32(maxX)
            .f32(maxY)
            .u16(lineType)
            .i32(pen);
    }
    // Appends the final mark and writes the total size.
    BlockBytes& finish()
    {
        u8(0xF0);
        return patchI32(1, static_cast<std::int32_t>(bytes_.size()));
    }

    const std::string& bytes() const { return bytes_; }
    const std::uint8_t* data() const { return reinterpret_cast<const std::uint8_t*>(bytes_.data()); }
    std::size_t size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

// One path of three items, a move-to, a line end and the end of the list: 121 bytes in all.
inline BlockBytes oneLineBlock()
{
    BlockBytes b;
    b.plotHeader(-1.0f, -1.0f, 1.0f, 1.0f, 0x1234);
    b.pathHeader(3, 10.0f, 20.0f, 30.0f, 40.0f, 0x0203, 7);
    b.item(10.0f, 20.0f, 0x11).item(30.0f, 40.0f, 0x21).item(0.0f, 0.0f, 0xFF).u8(0xF0);
    return b.finish();
}
