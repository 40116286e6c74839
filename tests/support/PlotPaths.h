#pragma once

#include "plotdata/CPlotPath.h"

#include <memory>
#include <vector>

// Paths for tests, from their points: a pen-up move, a drawn line, and a whole ended path in a pen.
constexpr PathItem move(float x, float y) { return PathItem{x, y, 0x11}; }
constexpr PathItem line(float x, float y) { return PathItem{x, y, 0x01}; }

inline std::unique_ptr<CPlotPath> pathOf(const std::vector<PathItem>& items, int pen)
{
    auto path = std::make_unique<CPlotPath>();
    for (const PathItem& item : items)
        path->append(item);
    path->append(PathItem{0, 0, PI_END});
    path->pen = pen;
    return path;
}
