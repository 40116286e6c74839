#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace hpgl {

// Item flag bits of the path store.
inline constexpr uint8_t kAnchor = 0x01;
inline constexpr uint8_t kMoveTo = 0x10;
inline constexpr uint8_t kEndOpen = 0x20;
inline constexpr uint8_t kClose = 0x40;
inline constexpr uint8_t kSpecial = 0x80;
inline constexpr uint8_t kColour = 0x81;
inline constexpr uint8_t kEndOfList = 0xFF;

struct Extent {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;

    void widen(float x, float y)
    {
        if (empty) {
            minX = maxX = x;
            minY = maxY = y;
            empty = false;
            return;
        }
        minX = x < minX ? x : minX;
        maxX = x > maxX ? x : maxX;
        minY = y < minY ? y : minY;
        maxY = y > maxY ? y : maxY;
    }
    void widen(const Extent& other);
};

// Builds one plot block in a single growing malloc'ed buffer while the file is read: a plot header,
// path blocks back to back (each patched with its size, count and extent when it is closed), and the
// final mark. Writing stops, and the block is refused, once it would pass the byte limit. The block
// starts at the expected size and grows from there.
class BlockWriter {
public:
    BlockWriter(size_t byteLimit, size_t expectedBytes);
    ~BlockWriter();
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    void beginPath(int32_t pen, uint16_t lineType);
    bool pathOpen() const { return pathStart_ != kNoPath; }
    // The block passed its limit or could not grow: nothing more is written.
    bool failed() const { return failed_; }
    uint32_t pathItemCount() const { return pathCount_; }

    // A point item; anchors widen the path extent.
    void point(float x, float y, uint8_t flags)
    {
        // The bulk of every drawing: room at hand in an open path, written here.
        if (size_ + kItemSize > capacity_ || !pathOpen()) {
            pointAfterGrowing(x, y, flags);
            return;
        }
        putItem(x, y, flags);
        ++pathCount_;
        if (flags & kAnchor) {
            pathExtent_.widen(x, y);
            lastX_ = x;
            lastY_ = y;
        }
    }
    // A cubic curve from the last anchor written: two control points and the end anchor. The extent
    // takes in the curve's true bounds, not its control points.
    void curve(float c1x, float c1y, float c2x, float c2y, float x, float y, uint8_t endFlags);
    // Adds flag bits to the last item written in the open path.
    void markLast(uint8_t flags);

    // A colour item (red, green, blue) in the open path; it takes no part in the extent.
    void colour(uint8_t red, uint8_t green, uint8_t blue);

    // Writes the end-of-list item and the path's sizes and extent. A path holding no items is dropped.
    void endPath();

    // Ends the page: the paths written since the last page end are moved along x so that they start
    // the page gap after the right edge of the pages before them. A page with nothing drawn takes no
    // room. The last page is ended by finish().
    void setPageGap(float gap) { pageGap_ = gap; }
    void endPage();

    // Closes the block and hands it over (the caller frees it), or null when it holds no path or
    // passed the limit.
    void* finish();

private:
    static constexpr size_t kNoPath = static_cast<size_t>(-1);
    static constexpr size_t kItemSize = 9;

    void pointAfterGrowing(float x, float y, uint8_t flags);
    bool reserve(size_t bytes);
    void mapPages(size_t from, size_t to);
    void putByte(uint8_t value);
    void putInt32(int32_t value);
    void putFloat(float value);
    void putItem(float x, float y, uint8_t flags)
    {
        std::memcpy(data_ + size_, &x, 4);
        std::memcpy(data_ + size_ + 4, &y, 4);
        data_[size_ + 8] = flags;
        size_ += kItemSize;
    }
    void patchInt32(size_t at, int32_t value);
    void patchFloat(size_t at, float value);

    unsigned char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t byteLimit_;
    bool failed_ = false;

    size_t pathStart_ = kNoPath;
    uint32_t pathCount_ = 0;
    Extent pathExtent_;
    float lastX_ = 0, lastY_ = 0;
    void shiftPaths(size_t from, float dx);

    Extent plotExtent_;    // of the pages ended so far, where they were placed
    Extent pageExtent_;    // of the paths of the page being written, as written
    size_t pageStart_ = 0; // where the first path of the page being written starts
    float pageGap_ = 0;
    size_t pathsWritten_ = 0;
};

} // namespace hpgl
