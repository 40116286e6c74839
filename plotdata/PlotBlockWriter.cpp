#include "plotdata/PlotBlockWriter.h"
#include "plotdata/PlotBlock.h"

#include "plotdata/PlotBlockBytes.h"

#include <utility>

using namespace plotblock;

PlotBlockWriter::PlotBlockWriter(const CMatrix& transform, const FRect& extent, std::uint32_t tag)
{
    bytes_.push_back(PLOT_BLOCK_MARK);
    appendU32(bytes_, 0); // the total size, written by finish
    for (float m : {transform.m0, transform.m1, transform.m2, transform.m3, transform.m4, transform.m5,
                    transform.m6, transform.m7, transform.m8})
        appendFloat(bytes_, m);
    appendRect(bytes_, extent);
    appendU32(bytes_, tag);
}

void PlotBlockWriter::addPath(const FRect& extent, std::uint16_t lineType, std::int32_t pen,
                              const PathItem* items, std::uint32_t count)
{
    const std::size_t itemBytes = sizeof(PathItem) * count;
    bytes_.push_back(PATH_BLOCK_MARK);
    appendU32(bytes_, static_cast<std::uint32_t>(PATH_BLOCK_HEADER_SIZE + itemBytes + 1));
    appendU32(bytes_, count);
    appendRect(bytes_, extent);
    appendU16(bytes_, lineType);
    appendU32(bytes_, static_cast<std::uint32_t>(pen));
    const auto* raw = reinterpret_cast<const std::uint8_t*>(items);
    bytes_.insert(bytes_.end(), raw, raw + itemBytes);
    bytes_.push_back(BLOCK_END_MARK);
}

std::vector<std::uint8_t> PlotBlockWriter::finish()
{
    bytes_.push_back(BLOCK_END_MARK);
    const auto size = static_cast<std::uint32_t>(bytes_.size());
    for (int i = 0; i < 4; ++i)
        bytes_[1 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return std::move(bytes_);
}

std::vector<std::uint8_t> writePlotBlock(const CPlot& plot)
{
    PlotBlockWriter writer(plot.transform, plot.extent, plot.tag);
    for (int i = 0; i < plot.count(); ++i) {
        const CPlotPath& path = plot.at(i);
        writer.addPath(path.extent, path.lineType, path.pen, path.items(), path.count());
    }
    return writer.finish();
}
