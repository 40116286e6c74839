#pragma once

#include "geometry/CMatrix.h"
#include "geometry/Rect.h"
#include "plotdata/PathItem.h"
#include "plotdata/PathWalk.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

class DrawingSurface;

// One run of drawing with one pen and one line type: an array of items and its extent.
// The item storage lives on the ordinary heap and always holds two items more than the capacity says.
// It starts at 50 items and doubles when full; a finished path (PI_END appended) is shrunk to fit.
class CPlotPath {
public:
    // Bounding box in millimetres: left = min X, top = min Y, right = max X, bottom = max Y.
    // All four zero means empty.
    FRect extent;
    // HP-GL line type: high byte pattern number, low byte pattern length; 0 is solid.
    uint16_t lineType = 100;
    // Selects the device pen and the preview colour (low 16 bits).
    int32_t pen = 0;

    CPlotPath() = default;
    ~CPlotPath() = default;
    CPlotPath(const CPlotPath&) = delete;
    CPlotPath& operator=(const CPlotPath&) = delete;

    // Items stored, the PI_END item included.
    uint32_t count() const { return count_; }
    // Items for which the storage is sized.
    uint32_t capacity() const { return capacity_; }
    const PathItem* items() const { return items_.get(); }
    PathItem* items() { return items_.get(); }
    // Throws CInvalidArgException for an index outside 0 .. count - 1.
    const PathItem& item(uint32_t index) const;
    PathItem& item(uint32_t index);

    // Adds a copy of the item and brings the extent up to date, sampling a curve whose control points
    // lie outside it. A PI_END item finishes the path: the storage shrinks to fit. Returns the new count.
    uint32_t append(const PathItem& item);
    // As append, without touching the extent.
    uint32_t appendRaw(const PathItem& item);
    // Makes room for at least `items` items, so that appending that many allocates once. Never shrinks.
    void reserve(uint32_t items);
    // Replaces the items with a copy of `count` items, in storage sized for exactly that many; count and
    // capacity become `count`. The extent is not touched.
    void assignItems(const PathItem* items, uint32_t count);
    // As assignItems, with the extent the items give when appended one by one.
    void assignItemsWithExtent(const PathItem* items, uint32_t count);

    // A new path with the same extent, count, capacity, line type and pen, holding the items.
    std::unique_ptr<CPlotPath> copy() const;
    // Applies the matrix to every point item in place and recomputes the extent.
    void transform(const CMatrix& m);
    // Draws the path onto the surface as one path, stroked once in the palette colour of its pen, or in
    // the colour of its last colour item. Points go through the transform unless it is null or the
    // identity, and are truncated to whole pixels. With a clip rectangle, segments that cannot show in it
    // are left out. The surface's pen is put back at the end.
    void draw(DrawingSurface& surface, const CMatrix* transform, const IRect* clip) const;

    // A path holding the line (x1, y1) - (x2, y2) and PI_END.
    static std::unique_ptr<CPlotPath> makeLine(float x1, float y1, float x2, float y2);
    // A path holding the dashes of the line (x1, y1) - (x2, y2): dashes of length `dash` separated by
    // gaps of length `gap`, the last one possibly shorter and ending at (x2, y2).
    static std::unique_ptr<CPlotPath> makeDashedLine(float x1, float y1, float x2, float y2, float dash,
                                                     float gap);

private:
    struct FreeItems {
        void operator()(PathItem* items) const { std::free(items); }
    };

    void reserveStorage(uint32_t items);
    void includeInExtent(uint32_t index);

    std::unique_ptr<PathItem[], FreeItems> items_;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
    // Whether the extent holds a point, so that an extent that is a single point at (0, 0) is not taken
    // for an empty one.
    bool hasExtent_ = false;
    // The walk that append keeps going over the items, to read each new item as the walk reads it.
    PathWalk appendWalk_;
    uint32_t walked_ = 0;
};
