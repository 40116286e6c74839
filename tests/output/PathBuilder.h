#pragma once

#include "plotdata/CPlot.h"
#include "plotdata/CPlotPath.h"

#include <initializer_list>
#include <memory>

// A finished path of the given items (PI_END is added).
inline std::unique_ptr<CPlotPath> makePath(std::initializer_list<PathItem> items, int pen = 0,
                                           uint16_t lineType = 0)
{
    auto path = std::make_unique<CPlotPath>();
    path->pen = pen;
    path->lineType = lineType;
    for (const PathItem& item : items)
        path->append(item);
    path->appendRaw({0.0f, 0.0f, PI_END});
    return path;
}

constexpr PathItem moveItem(float x, float y) { return {x, y, PI_MOVETO | PI_ANCHOR}; }
constexpr PathItem lineItem(float x, float y) { return {x, y, PI_ANCHOR}; }
constexpr PathItem endItem(float x, float y) { return {x, y, PI_ENDOPEN | PI_ANCHOR}; }
constexpr PathItem controlItem(float x, float y) { return {x, y, 0}; }
