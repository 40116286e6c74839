#pragma once

#include "geometry/Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CPlot;

// A new plot holding what of the plot lies inside the window (left, top, right, bottom; borders count as
// inside): paths wholly inside are copied whole, paths crossing the border are cut at it, lines and
// curves alike. Null when nothing lies inside.
std::unique_ptr<CPlot> extractSection(const CPlot& plot, float left, float top, float right, float bottom);

// Cuts one plot into sections, window after window, with the same result as extractSection. It keeps
// the paths in order of their left edges, so that each window looks only at the paths that can reach it;
// windows that move to the right, as the sections of a band do, drop the paths they have passed. The
// plot must stay as it is while the cutter is in use.
//
// A long path is looked at figure by figure: figures whose box misses the window are passed over whole.
class CSectionCutter {
public:
    explicit CSectionCutter(const CPlot& plot);
    std::unique_ptr<CPlot> extract(float left, float top, float right, float bottom);

    // One figure of a path: the index of its move-to and the box of its points.
    struct Figure {
        uint32_t start;
        FRect box;
    };

private:
    void findPathsReaching(float left, float right);
    const std::vector<Figure>& figuresOf(int pathIndex);

    const CPlot& plot_;
    // The paths in order of their left edges, and those whose left or right edge is not a number, which
    // could meet any window.
    std::vector<int> byLeft_;
    std::vector<int> everywhere_;
    // How many paths of byLeft_ the windows have reached, and those of them not yet passed.
    std::size_t entered_ = 0;
    std::vector<int> reaching_;
    float lastLeft_ = 0.0f;
    float lastRight_ = 0.0f;
    std::vector<int> candidates_;
    // The figures of each long path, listed when it is first clipped.
    std::vector<std::vector<Figure>> figures_;
};

// Orders the plot's paths by the left edge (min X) of their extents, in place. Paths with equal left
// edges keep no defined order.
void sortByLeftEdge(CPlot& plot);
