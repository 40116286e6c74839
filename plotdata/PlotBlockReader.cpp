#include "plotdata/PlotBlock.h"

#include "plotdata/PlotBlockBytes.h"

#include <cstring>

using namespace plotblock;

namespace {

// A path block's size without its items: the header and the end mark.
constexpr std::size_t PATH_BLOCK_FIXED_SIZE = PATH_BLOCK_HEADER_SIZE + 1;
// The smallest whole plot block: the header and the final mark.
constexpr std::size_t PLOT_BLOCK_MIN_SIZE = PLOT_BLOCK_HEADER_SIZE + 1;

} // namespace

std::size_t plotBlockStatedSize(const std::uint8_t* block)
{
    if (block[0] != PLOT_BLOCK_MARK)
        return 0;
    const std::int32_t size = readI32(block + 1);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

std::unique_ptr<CPlotPath> readPathBlock(const std::uint8_t* block, std::size_t length)
{
    if (length < PATH_BLOCK_FIXED_SIZE + sizeof(PathItem) || block[0] != PATH_BLOCK_MARK)
        return nullptr;
    // The count is checked against the bytes at hand before anything is sized by it.
    const std::int32_t count = readI32(block + 5);
    if (count < 1 || static_cast<std::size_t>(count) > (length - PATH_BLOCK_FIXED_SIZE) / sizeof(PathItem))
        return nullptr;
    const std::size_t size = PATH_BLOCK_FIXED_SIZE + sizeof(PathItem) * static_cast<std::size_t>(count);
    if (static_cast<std::int64_t>(readI32(block + 1)) != static_cast<std::int64_t>(size))
        return nullptr;
    const std::uint8_t* items = block + PATH_BLOCK_HEADER_SIZE;
    const std::uint8_t lastFlags = items[sizeof(PathItem) * static_cast<std::size_t>(count) - 1];
    if (lastFlags != PI_END)
        return nullptr;

    auto path = std::make_unique<CPlotPath>();
    path->extent = readRect(block + 9);
    path->lineType = readU16(block + 25);
    path->pen = readI32(block + 27);
    path->assignItems(reinterpret_cast<const PathItem*>(items), static_cast<std::uint32_t>(count));
    return path;
}

std::unique_ptr<CPlot> readPlotBlock(const std::uint8_t* block, std::size_t length)
{
    if (length < PLOT_BLOCK_MIN_SIZE || block[0] != PLOT_BLOCK_MARK)
        return nullptr;
    const std::int32_t statedSize = readI32(block + 1);
    if (statedSize < static_cast<std::int32_t>(PLOT_BLOCK_MIN_SIZE) ||
        static_cast<std::size_t>(statedSize) > length)
        return nullptr;
    const std::size_t end = static_cast<std::size_t>(statedSize);

    auto plot = std::make_unique<CPlot>();
    plot->extent = readRect(block + 41);
    plot->tag = readU32(block + 57);
    std::memcpy(&plot->transform, block + 5, sizeof(CMatrix));

    std::size_t position = PLOT_BLOCK_HEADER_SIZE;
    while (block[position] == PATH_BLOCK_MARK) {
        std::unique_ptr<CPlotPath> path = readPathBlock(block + position, end - position);
        if (!path) {
            const bool whole = block[end - 1] == BLOCK_END_MARK;
            return whole ? std::move(plot) : nullptr;
        }
        position += PATH_BLOCK_FIXED_SIZE + sizeof(PathItem) * path->count();
        plot->add(std::move(path));
        // A path block that fills the block to its end leaves no room for the final mark.
        if (position >= end)
            return nullptr;
    }
    return plot;
}
