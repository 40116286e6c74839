#pragma once

#include <memory>

class CPlot;

// A new plot holding what of the plot lies inside the window (left, top, right, bottom; borders count as
// inside): paths wholly inside are copied whole, paths crossing the border are cut at it, lines and
// curves alike. Null when nothing lies inside.
std::unique_ptr<CPlot> extractSection(const CPlot& plot, float left, float top, float right, float bottom);

// Orders the plot's paths by the left edge (min X) of their extents, in place. Paths with equal left
// edges keep no defined order.
void sortByLeftEdge(CPlot& plot);
