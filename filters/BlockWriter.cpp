#include "filters/BlockWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace hpgl {

static_assert(std::endian::native == std::endian::little, "the block is written in host byte order");

namespace {

constexpr size_t kHeaderSize = 61;     // marker, total size, transform, extent, tag
constexpr size_t kPathHeaderSize = 31; // marker, size, count, extent, line type, pen
constexpr uint8_t kPlotMarker = ',';
constexpr uint8_t kPathMarker = '+';
constexpr uint8_t kEndMark = 0xF0;
constexpr size_t kFirstCapacity = 64 * 1024;
// Blocks from this size on are given large pages.
constexpr size_t kLargePagesFrom = 8 * 1024 * 1024;

double bezierAt(double p0, double p1, double p2, double p3, double t)
{
    double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// Parameters in (0, 1) where one coordinate of a cubic Bezier turns; returns how many (at most 2).
int turningPoints(double p0, double p1, double p2, double p3, double out[2])
{
    double a = p1 - p0, b = p2 - p1, c = p3 - p2;
    double qa = a - 2 * b + c, qb = 2 * (b - a), qc = a;
    int n = 0;
    auto keep = [&](double t) {
        if (t > 0 && t < 1)
            out[n++] = t;
    };
    if (std::fabs(qa) < 1e-12) {
        if (std::fabs(qb) > 1e-12)
            keep(-qc / qb);
        return n;
    }
    double disc = qb * qb - 4 * qa * qc;
    if (disc < 0)
        return 0;
    double root = std::sqrt(disc);
    keep((-qb + root) / (2 * qa));
    keep((-qb - root) / (2 * qa));
    return n;
}

} // namespace

void Extent::widen(const Extent& other)
{
    if (other.empty)
        return;
    widen(other.minX, other.minY);
    widen(other.maxX, other.maxY);
}

BlockWriter::BlockWriter(size_t byteLimit, size_t expectedBytes) : byteLimit_(byteLimit)
{
    // The expected size is a guess: when it cannot be had, the block grows from the smallest size.
    if (!reserve(std::max(kHeaderSize, std::min(expectedBytes, byteLimit)))) {
        failed_ = false;
        if (!reserve(kHeaderSize))
            return;
    }
    size_ = kHeaderSize; // filled in by finish()
    pageStart_ = size_;
}

BlockWriter::~BlockWriter() { std::free(data_); }

bool BlockWriter::reserve(size_t bytes)
{
    if (failed_)
        return false;
    if (size_ + bytes <= capacity_)
        return true;
    if (size_ + bytes > byteLimit_) {
        failed_ = true;
        return false;
    }
    size_t wanted = std::max({kFirstCapacity, capacity_ + capacity_ / 2, size_ + bytes});
    wanted = std::min(wanted, byteLimit_);
    auto* grown = static_cast<unsigned char*>(std::realloc(data_, wanted));
    if (grown == nullptr) {
        failed_ = true;
        return false;
    }
    data_ = grown;
    mapPages(capacity_, wanted);
    capacity_ = wanted;
    return true;
}

// The block is written from end to end. A large block asks for large pages, mapped as it is
// written: a page fault for every 2 MiB, and the part never written is never mapped. A smaller one
// has its new pages mapped in one call rather than by a page fault for every 4 KiB. Both are costly
// on a virtual machine, where each new mapping is a trip to the host. Advice only: where the system
// cannot, the pages come by faults as before.
void BlockWriter::mapPages(size_t from, size_t to)
{
    constexpr uintptr_t kPage = 4096;
    const auto start = reinterpret_cast<uintptr_t>(data_);
    if (to >= kLargePagesFrom) {
        const uintptr_t blockPage = start & ~(kPage - 1);
        // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise takes the page address
        madvise(reinterpret_cast<void*>(blockPage), start + to - blockPage, MADV_HUGEPAGE);
        return;
    }
    const uintptr_t first = (start + from + kPage - 1) & ~(kPage - 1);
    const uintptr_t last = (start + to) & ~(kPage - 1);
    if (last > first)
        // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise takes the page address
        madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
}

void BlockWriter::putByte(uint8_t value) { data_[size_++] = value; }

void BlockWriter::putInt32(int32_t value)
{
    std::memcpy(data_ + size_, &value, 4);
    size_ += 4;
}

void BlockWriter::putFloat(float value)
{
    std::memcpy(data_ + size_, &value, 4);
    size_ += 4;
}

void BlockWriter::patchInt32(size_t at, int32_t value) { std::memcpy(data_ + at, &value, 4); }

void BlockWriter::patchFloat(size_t at, float value) { std::memcpy(data_ + at, &value, 4); }

void BlockWriter::beginPath(int32_t pen, uint16_t lineType)
{
    if (pathOpen())
        endPath();
    if (!reserve(kPathHeaderSize))
        return;
    pathStart_ = size_;
    pathCount_ = 0;
    pathExtent_ = Extent{};
    putByte(kPathMarker);
    putInt32(0); // size, patched by endPath
    putInt32(0); // count, patched by endPath
    for (int i = 0; i < 4; ++i)
        putFloat(0); // extent, patched by endPath
    std::memcpy(data_ + size_, &lineType, 2);
    size_ += 2;
    putInt32(pen);
}

void BlockWriter::pointAfterGrowing(float x, float y, uint8_t flags)
{
    if (!pathOpen() || !reserve(kItemSize))
        return;
    point(x, y, flags);
}

void BlockWriter::curve(float c1x, float c1y, float c2x, float c2y, float x, float y, uint8_t endFlags)
{
    if (!pathOpen() || !reserve(3 * kItemSize))
        return;
    double ts[2];
    int n = turningPoints(lastX_, c1x, c2x, x, ts);
    for (int i = 0; i < n; ++i)
        pathExtent_.widen(static_cast<float>(bezierAt(lastX_, c1x, c2x, x, ts[i])), y);
    n = turningPoints(lastY_, c1y, c2y, y, ts);
    for (int i = 0; i < n; ++i)
        pathExtent_.widen(x, static_cast<float>(bezierAt(lastY_, c1y, c2y, y, ts[i])));
    putItem(c1x, c1y, 0);
    putItem(c2x, c2y, 0);
    pathCount_ += 2;
    point(x, y, endFlags | kAnchor);
}

void BlockWriter::markLast(uint8_t flags)
{
    if (!pathOpen() || pathCount_ == 0 || failed_)
        return;
    data_[size_ - 1] |= flags;
}

void BlockWriter::endPath()
{
    if (!pathOpen())
        return;
    size_t start = pathStart_;
    pathStart_ = kNoPath;
    if (failed_)
        return;
    if (pathCount_ == 0) {
        size_ = start;
        return;
    }
    if (!reserve(kItemSize + 1))
        return;
    putItem(0, 0, kEndOfList);
    putByte(kEndMark);
    uint32_t count = pathCount_ + 1;
    patchInt32(start + 1, static_cast<int32_t>(32 + kItemSize * count));
    patchInt32(start + 5, static_cast<int32_t>(count));
    patchFloat(start + 9, pathExtent_.minX);
    patchFloat(start + 13, pathExtent_.minY);
    patchFloat(start + 17, pathExtent_.maxX);
    patchFloat(start + 21, pathExtent_.maxY);
    pageExtent_.widen(pathExtent_);
    ++pathsWritten_;
}

void BlockWriter::colour(uint8_t red, uint8_t green, uint8_t blue)
{
    if (!pathOpen() || !reserve(kItemSize))
        return;
    const unsigned char bytes[4] = {red, green, blue, 0};
    float x;
    std::memcpy(&x, bytes, 4);
    putItem(x, 0, kColour);
    ++pathCount_;
}

void BlockWriter::endPage()
{
    endPath();
    if (failed_ || pageExtent_.empty)
        return;
    if (!plotExtent_.empty) {
        const float dx = plotExtent_.maxX + pageGap_ - pageExtent_.minX;
        shiftPaths(pageStart_, dx);
        pageExtent_.minX += dx;
        pageExtent_.maxX += dx;
    }
    plotExtent_.widen(pageExtent_);
    pageExtent_ = Extent{};
    pageStart_ = size_;
}

// Moves the points and extents of the path blocks from `from` to the end by dx.
void BlockWriter::shiftPaths(size_t from, float dx)
{
    for (size_t p = from; p < size_;) {
        int32_t size = 0, count = 0;
        std::memcpy(&size, data_ + p + 1, 4);
        std::memcpy(&count, data_ + p + 5, 4);
        for (size_t at : {p + 9, p + 17}) {
            float x;
            std::memcpy(&x, data_ + at, 4);
            patchFloat(at, x + dx);
        }
        unsigned char* item = data_ + p + kPathHeaderSize;
        for (int32_t i = 0; i < count; ++i, item += kItemSize) {
            if (item[8] & kSpecial)
                continue;
            float x;
            std::memcpy(&x, item, 4);
            x += dx;
            std::memcpy(item, &x, 4);
        }
        p += static_cast<size_t>(size);
    }
}

void* BlockWriter::finish()
{
    endPage();
    if (failed_ || pathsWritten_ == 0 || !reserve(1))
        return nullptr;
    putByte(kEndMark);
    size_t total = size_;
    size_ = 0;
    putByte(kPlotMarker);
    putInt32(static_cast<int32_t>(total));
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (float value : identity)
        putFloat(value);
    putFloat(plotExtent_.minX);
    putFloat(plotExtent_.minY);
    putFloat(plotExtent_.maxX);
    putFloat(plotExtent_.maxY);
    putInt32(0); // tag: nothing to carry
    void* block = data_;
    data_ = nullptr;
    capacity_ = 0;
    return block;
}

} // namespace hpgl
