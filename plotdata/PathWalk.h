#pragma once

#include "geometry/Point.h"
#include "plotdata/PathItem.h"

#include <cstdint>

class CPlotPath;

// What a walk of a path reports, item by item. Every reader of paths (extent, transform, drawing,
// sectioning, sending) takes its segments from this one walk.
class PathVisitor {
public:
    virtual ~PathVisitor() = default;

    // Every special item: PI_COLOR, PI_END and any other.
    virtual void special(const PathItem&) {}
    // A move-to anchor: the start of a figure.
    virtual void moveTo(const PathItem&) {}
    // A straight segment from the current point to `end`.
    virtual void lineTo(FPoint, const PathItem&) {}
    // A cubic Bezier segment from the current point through two control points to `end`.
    virtual void curveTo(FPoint, const PathItem&, const PathItem&, const PathItem&) {}
};

// Reads a path item by item:
// - a special item is reported as such;
// - a control point produces nothing by itself;
// - an anchor whose flags AND 0x70 equal 0x10 is a move-to;
// - any other anchor ends a segment that starts at the current point: a line when the item before it
//   has bit 0 set (or there is none), otherwise a curve whose control points are the two items before it.
// Paths from outside the program may break the producers' rules. A curve end without two control points
// before it takes the segment's start for each missing one (a special item is never a control point),
// and a segment with no current point before it starts at its own end. Nothing before the first item is
// ever read.
class PathWalk {
public:
    // Reads items[index]; items[0] .. items[index] must exist. Call with index 0, 1, 2, ... in turn.
    void step(const PathItem* items, uint32_t index, PathVisitor& visitor);
    void reset() { *this = PathWalk{}; }

private:
    FPoint current_;
    bool hasCurrent_ = false;
};

void walkPath(const PathItem* items, uint32_t count, PathVisitor& visitor);
void walkPath(const CPlotPath& path, PathVisitor& visitor);
