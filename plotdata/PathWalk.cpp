#include "plotdata/PathWalk.h"

#include "plotdata/CPlotPath.h"

void PathWalk::step(const PathItem* items, uint32_t index, PathVisitor& visitor)
{
    const PathItem& item = items[index];
    if (isSpecial(item)) {
        visitor.special(item);
        return;
    }
    if (!isAnchor(item))
        return; // a control point is read with the anchor that ends its curve
    if (isMoveTo(item)) {
        visitor.moveTo(item);
        current_ = FPoint{item.x, item.y};
        hasCurrent_ = true;
        return;
    }

    const FPoint start = hasCurrent_ ? current_ : FPoint{item.x, item.y};
    const bool afterPoint = index == 0 || (items[index - 1].flags & PI_ANCHOR) != 0;
    if (afterPoint) {
        visitor.lineTo(start, item);
    } else {
        // Control points that are missing, or special items where they should be, are taken to be the
        // segment's start.
        const PathItem startItem{start.x, start.y, 0};
        const bool hasSecond = isControlPoint(items[index - 1]);
        const bool hasFirst = hasSecond && index >= 2 && isControlPoint(items[index - 2]);
        const PathItem& control2 = hasSecond ? items[index - 1] : startItem;
        const PathItem& control1 = hasFirst ? items[index - 2] : startItem;
        visitor.curveTo(start, control1, control2, item);
    }
    current_ = FPoint{item.x, item.y};
    hasCurrent_ = true;
}

void walkPath(const PathItem* items, uint32_t count, PathVisitor& visitor)
{
    if (items == nullptr)
        return;
    PathWalk walk;
    for (uint32_t i = 0; i < count; ++i)
        walk.step(items, i, visitor);
}

void walkPath(const CPlotPath& path, PathVisitor& visitor) { walkPath(path.items(), path.count(), visitor); }
