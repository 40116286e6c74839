#pragma once

#include "geometry/CMatrix.h"
#include "geometry/Rect.h"
#include "plotdata/CPlot.h"
#include "plotdata/PlotBlock.h"

#include <cstdint>
#include <vector>

// Builds a plot block from raw parts, path by path.
class PlotBlockWriter {
public:
    PlotBlockWriter(const CMatrix& transform, const FRect& extent, std::uint32_t tag);

    void addPath(const FRect& extent, std::uint16_t lineType, std::int32_t pen, const PathItem* items,
                 std::uint32_t count);
    // The finished block, its total size written and the final mark appended.
    std::vector<std::uint8_t> finish();

private:
    std::vector<std::uint8_t> bytes_;
};

// The block of a whole plot: its pending transform, extent and tag, and every path.
std::vector<std::uint8_t> writePlotBlock(const CPlot& plot);
