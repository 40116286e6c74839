#include "plotdata/CPenPalette.h"
#include "plotdata/CPlot.h"
#include "plotdata/CPlotPath.h"
#include "plotdata/DrawingSurface.h"

#include "geometry/Truncate.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace {

// A box on the surface, wide enough that growing it or measuring it cannot overflow.
struct Box {
    int64_t left, top, right, bottom;
};

Box boxAround(std::initializer_list<IPoint> points)
{
    Box box{points.begin()->x, points.begin()->y, points.begin()->x, points.begin()->y};
    for (IPoint p : points) {
        box.left = std::min<int64_t>(box.left, p.x);
        box.top = std::min<int64_t>(box.top, p.y);
        box.right = std::max<int64_t>(box.right, p.x);
        box.bottom = std::max<int64_t>(box.bottom, p.y);
    }
    return box;
}

// The clip rectangle holds its left and top edges, not its right and bottom ones.
bool clipHolds(const IRect& clip, IPoint p)
{
    return p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom;
}

// Whether a segment whose points span the box can show inside the clip rectangle. The box is grown by one
// pixel on every side first, so that a segment lying along a row or a column of pixels still meets it.
bool segmentMeetsClip(const Box& box, const IRect& clip)
{
    return std::max<int64_t>(box.left - 1, clip.left) < std::min<int64_t>(box.right + 1, clip.right) &&
           std::max<int64_t>(box.top - 1, clip.top) < std::min<int64_t>(box.bottom + 1, clip.bottom);
}

// Turns the segments of one path into surface calls. With a clip rectangle, segments that cannot show in
// it are left out, and the next one that can starts with a move to its own start, so no line runs across
// the part left out.
class PathPainter : public PathVisitor {
public:
    PathPainter(DrawingSurface& surface, const CMatrix* transform, const IRect* clip)
        : surface_(surface), transform_(transform), clip_(clip)
    {
    }

    // Selects the pen and keeps the pen the surface had before the first selection, to put it back.
    void selectPen(const CPen& pen)
    {
        const CPen replaced = surface_.selectPen(pen);
        if (!original_)
            original_ = replaced;
    }

    void restorePen()
    {
        if (original_)
            surface_.selectPen(*original_);
    }

    void special(const PathItem& item) override
    {
        if (item.flags == PI_COLOR)
            selectPen(CPen{PS_SOLID, 1, itemColor(item)});
    }

    void moveTo(const PathItem& item) override
    {
        current_ = surfacePoint(item.x, item.y);
        hasCurrent_ = true;
        positioned_ = clip_ == nullptr || clipHolds(*clip_, current_);
        if (positioned_)
            surface_.moveTo(current_);
    }

    void lineTo(FPoint start, const PathItem& end) override
    {
        takeStart(start);
        const IPoint p = surfacePoint(end.x, end.y);
        if (p == current_)
            return;
        if (shows(boxAround({current_, p}))) {
            comeTo(current_);
            surface_.lineTo(p);
        }
        current_ = p;
    }

    void curveTo(FPoint start, const PathItem& c1, const PathItem& c2, const PathItem& end) override
    {
        takeStart(start);
        const IPoint p1 = surfacePoint(c1.x, c1.y);
        const IPoint p2 = surfacePoint(c2.x, c2.y);
        const IPoint p3 = surfacePoint(end.x, end.y);
        const Box box = boxAround({current_, p1, p2, p3});
        if (shows(box)) {
            comeTo(current_);
            // A curve spanning at most two pixels is not worth a Bezier.
            const int64_t span = (box.right - box.left) + (box.bottom - box.top);
            if (span > 2)
                surface_.bezierTo(p1, p2, p3);
            else if (span > 0)
                surface_.lineTo(p3);
        }
        current_ = p3;
    }

private:
    IPoint surfacePoint(float x, float y) const
    {
        if (transform_ == nullptr)
            return IPoint{truncToInt(x), truncToInt(y)};
        FPoint p{x, y};
        IPoint out;
        transform_->TransformPoint(p, &out);
        return out;
    }

    // A segment with no move-to before it (a path from outside that breaks the rules) starts where the
    // walk says it does.
    void takeStart(FPoint start)
    {
        if (!hasCurrent_) {
            current_ = surfacePoint(start.x, start.y);
            hasCurrent_ = true;
        }
    }

    // Whether a segment spanning the box is drawn; one that is not leaves the surface to be moved again.
    bool shows(const Box& box)
    {
        if (clip_ == nullptr || segmentMeetsClip(box, *clip_))
            return true;
        positioned_ = false;
        return false;
    }

    void comeTo(IPoint p)
    {
        if (!positioned_)
            surface_.moveTo(p);
        positioned_ = true;
    }

    DrawingSurface& surface_;
    const CMatrix* transform_;
    const IRect* clip_;
    std::optional<CPen> original_;
    IPoint current_;
    bool hasCurrent_ = false;
    // Whether the surface's current point is current_.
    bool positioned_ = false;
};

} // namespace

void CPlotPath::draw(DrawingSurface& surface, const CMatrix* transform, const IRect* clip) const
{
    if (count_ == 0)
        return;
    const CMatrix* used = transform != nullptr && !transform->IsIdentity() ? transform : nullptr;
    PathPainter painter(surface, used, clip);
    surface.beginPath();
    if (const std::optional<CPen> pathPen = penPalette().createPen(pen, PS_SOLID, 1))
        painter.selectPen(*pathPen);
    walkPath(*this, painter);
    surface.strokePath();
    painter.restorePen();
}

void CPlot::draw(DrawingSurface& surface, const CMatrix* extra, const IRect* clip) const
{
    CMatrix m = transform;
    if (extra != nullptr)
        m.Multiply(*extra);
    for (const auto& path : paths_)
        path->draw(surface, &m, clip);
}
