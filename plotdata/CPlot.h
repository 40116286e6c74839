#pragma once

#include "geometry/CMatrix.h"
#include "geometry/Rect.h"
#include "plotdata/CPlotPath.h"

#include <cstdint>
#include <memory>
#include <vector>

// The whole drawing of a job: its paths in drawing order, their overall extent and a pending transform.
class CPlot {
public:
    // Union of the path extents after the last bake, transformed with the pending transform.
    FRect extent;
    // Not yet applied to the points; the identity when nothing is pending.
    CMatrix transform;
    // Carried from the plot block; nothing interprets it.
    uint32_t tag = 0;

    CPlot() = default;
    ~CPlot();
    CPlot(const CPlot&) = delete;
    CPlot& operator=(const CPlot&) = delete;

    int count() const { return static_cast<int>(paths_.size()); }
    // Throw CInvalidArgException for an index outside 0 .. count - 1.
    CPlotPath& at(int index);
    const CPlotPath& at(int index) const;

    // Deletes every path, last first, and sets the extent to zero.
    void clear();
    // Takes the path, baking any pending transform first, and widens the extent by the path's extent
    // (the first path replaces it). Returns the path's index; -1 for no path.
    int add(std::unique_ptr<CPlotPath> path);
    // The pending transform becomes the pending transform followed by m; the extent becomes the bounds
    // of its corners under m. The points are not touched.
    void applyTransform(const CMatrix& m);
    // Applies the pending transform to every path, recomputes the extent and resets the transform.
    void bake();
    // Copies of the paths with a zero extent and the identity transform; null when there are no paths.
    std::unique_ptr<CPlot> copy() const;
    void swap(int i, int j); // NOLINT(bugprone-exception-escape): a bad index throws
    // One partition step of sorting by left edge: paths whose min X is below the pivot end up before the
    // returned index, the others from it on.
    int partitionByLeft(int lo, int hi, float pivot);
    // Draws every path in order through the pending transform followed by the extra one, if given.
    void draw(DrawingSurface& surface, const CMatrix* extra, const IRect* clip) const;

private:
    std::vector<std::unique_ptr<CPlotPath>> paths_;
};
