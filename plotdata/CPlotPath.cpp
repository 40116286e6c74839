#include "plotdata/CPlotPath.h"

#include "geometry/Bezier.h"
#include "geometry/Segment.h"
#include "plotdata/CInvalidArgException.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The first storage of a path; after it the capacity doubles, so that a long path is copied a few times
// as it grows, not once every 50 items.
constexpr uint32_t kFirstCapacity = 50;
// The storage always holds this many items beyond the capacity.
constexpr uint32_t kSpare = 2;

FPoint pointOf(const PathItem& item) { return FPoint{item.x, item.y}; }

// Widens an extent by the anchors the walk reports. A curve whose points do not all lie inside the
// extent bulges beyond its ends, so nine points along it are taken in as well.
class ExtentVisitor : public PathVisitor {
public:
    ExtentVisitor(FRect& extent, bool& hasExtent) : extent_(extent), hasExtent_(hasExtent) {}

    void moveTo(const PathItem& item) override { include(pointOf(item)); }
    void lineTo(FPoint, const PathItem& end) override { include(pointOf(end)); }
    void curveTo(FPoint start, const PathItem& control1, const PathItem& control2,
                 const PathItem& end) override
    {
        include(pointOf(end));
        const Bezier curve{start, pointOf(control1), pointOf(control2), pointOf(end)};
        if (pointInRect(curve.p0, extent_) && pointInRect(curve.p1, extent_) &&
            pointInRect(curve.p2, extent_) && pointInRect(curve.p3, extent_))
            return;
        for (float t = 0.1f; t < 1.0f; t += 0.1f)
            extent_.widen(bezierPoint(curve, t));
    }

private:
    void include(FPoint p)
    {
        if (hasExtent_) {
            extent_.widen(p);
        } else {
            extent_ = FRect{p.x, p.y, p.x, p.y};
            hasExtent_ = true;
        }
    }

    FRect& extent_;
    bool& hasExtent_;
};

// Widens the extent by every anchor in turn, as the walk does for a path of straight lines, without its
// step per item. Returns false at the first control point: only the walk measures how curves bulge.
bool widenByAnchors(const PathItem* items, uint32_t count, FRect& extent, bool& hasExtent)
{
    for (uint32_t i = 0; i < count; ++i) {
        const PathItem& item = items[i];
        if (isSpecial(item))
            continue;
        if (!isAnchor(item))
            return false;
        if (hasExtent) {
            extent.widen(pointOf(item));
        } else {
            extent = FRect{item.x, item.y, item.x, item.y};
            hasExtent = true;
        }
    }
    return true;
}

} // namespace

const PathItem& CPlotPath::item(uint32_t index) const
{
    if (index >= count_)
        throw CInvalidArgException();
    return items_[index];
}

PathItem& CPlotPath::item(uint32_t index)
{
    if (index >= count_)
        throw CInvalidArgException();
    return items_[index];
}

void CPlotPath::reserveStorage(uint32_t items)
{
    const size_t bytes = (size_t(items) + kSpare) * sizeof(PathItem);
    auto* grown = static_cast<PathItem*>(std::realloc(items_.get(), bytes));
    if (grown == nullptr)
        throw std::bad_alloc();
    (void)items_.release();
    items_.reset(grown);
    capacity_ = items;
}

uint32_t CPlotPath::appendRaw(const PathItem& item)
{
    if (!items_) {
        reserveStorage(kFirstCapacity);
    } else if (count_ >= capacity_) {
        if (capacity_ > (UINT32_MAX - kSpare) / 2)
            throw std::bad_alloc();
        reserveStorage(std::max(kFirstCapacity, 2 * capacity_));
    }
    items_[count_] = item;
    ++count_;
    if (item.flags == PI_END)
        reserveStorage(count_);
    return count_;
}

uint32_t CPlotPath::append(const PathItem& item)
{
    appendRaw(item);
    includeInExtent(count_ - 1);
    return count_;
}

void CPlotPath::includeInExtent(uint32_t index)
{
    PathVisitor skip;
    while (walked_ < index)
        appendWalk_.step(items_.get(), walked_++, skip);
    if (!hasExtent_ && !extent.isZero())
        hasExtent_ = true; // an extent set from outside, such as one read from a plot block
    ExtentVisitor widenExtent(extent, hasExtent_);
    appendWalk_.step(items_.get(), index, widenExtent);
    walked_ = index + 1;
}

void CPlotPath::reserve(uint32_t items)
{
    if (items > capacity_ || !items_)
        reserveStorage(std::max(items, capacity_));
}

void CPlotPath::assignItems(const PathItem* items, uint32_t count)
{
    items_.reset();
    count_ = 0;
    capacity_ = 0;
    appendWalk_.reset();
    walked_ = 0;
    if (items == nullptr || count == 0)
        return;
    reserveStorage(count);
    std::memcpy(items_.get(), items, size_t(count) * sizeof(PathItem));
    count_ = count;
}

void CPlotPath::assignItemsWithExtent(const PathItem* items, uint32_t count)
{
    assignItems(items, count);
    extent.clear();
    hasExtent_ = false;
    if (widenByAnchors(items_.get(), count_, extent, hasExtent_))
        return;
    extent.clear();
    hasExtent_ = false;
    ExtentVisitor widenExtent(extent, hasExtent_);
    walkPath(items_.get(), count_, widenExtent);
}

std::unique_ptr<CPlotPath> CPlotPath::copy() const
{
    auto path = std::make_unique<CPlotPath>();
    path->extent = extent;
    path->lineType = lineType;
    path->pen = pen;
    path->hasExtent_ = hasExtent_;
    if (items_) {
        path->reserveStorage(capacity_);
        std::memcpy(path->items_.get(), items_.get(), size_t(count_) * sizeof(PathItem));
        path->count_ = count_;
    }
    return path;
}

void CPlotPath::transform(const CMatrix& m)
{
    extent.clear();
    hasExtent_ = false;
    appendWalk_.reset();
    walked_ = 0;
    if (count_ == 0)
        return;

    PathItem* items = items_.get();
    for (uint32_t i = 0; i < count_; ++i) {
        if (isSpecial(items[i]))
            continue;
        FPoint p = pointOf(items[i]);
        m.TransformPoint(p);
        items[i].x = p.x;
        items[i].y = p.y;
        // The first point sets the extent, whether anchor or control point; after it only anchors count.
        if (!hasExtent_) {
            extent = FRect{p.x, p.y, p.x, p.y};
            hasExtent_ = true;
        }
    }
    const FRect firstPoint = extent;
    if (widenByAnchors(items, count_, extent, hasExtent_))
        return;
    extent = firstPoint;
    ExtentVisitor widenExtent(extent, hasExtent_);
    walkPath(items, count_, widenExtent);
}

std::unique_ptr<CPlotPath> CPlotPath::makeLine(float x1, float y1, float x2, float y2)
{
    auto path = std::make_unique<CPlotPath>();
    path->append(PathItem{x1, y1, PI_MOVETO | PI_ANCHOR});
    path->append(PathItem{x2, y2, PI_ENDOPEN | PI_ANCHOR});
    path->appendRaw(PathItem{0.0f, 0.0f, PI_END});
    return path;
}

std::unique_ptr<CPlotPath> CPlotPath::makeDashedLine(float x1, float y1, float x2, float y2, float dash,
                                                     float gap)
{
    const FPoint end{x2, y2};
    FPoint p{x1, y1};
    float u = distance(p, end);
    // Without a positive dash length and a gap of at least zero there is nothing to step by.
    if (!(dash > 0.0f) || !(gap >= 0.0f) || u < dash + gap)
        return makeLine(x1, y1, x2, y2);

    auto path = std::make_unique<CPlotPath>();
    auto addDash = [&](FPoint from, FPoint to) {
        path->append(PathItem{from.x, from.y, PI_MOVETO | PI_ANCHOR});
        path->append(PathItem{to.x, to.y, PI_ENDOPEN | PI_ANCHOR});
    };
    bool dashPhase = true;
    while (u > 0.0f) {
        if (dashPhase) {
            if (dash > u) {
                addDash(p, end);
                break;
            }
            const FPoint q = pointAtFraction(p, end, dash / u);
            addDash(p, q);
            p = q;
        } else {
            if (gap > u)
                break;
            p = pointAtFraction(p, end, gap / u);
        }
        dashPhase = !dashPhase;
        const float remaining = distance(p, end);
        if (!dashPhase && !(remaining < u)) {
            // The dash is too short to move the point at this distance: cut the rest in one piece.
            addDash(p, end);
            break;
        }
        u = remaining;
    }
    path->appendRaw(PathItem{0.0f, 0.0f, PI_END});
    return path;
}
