#include "filters/PolygonBuffer.h"

#include <cstddef>

namespace hpgl {

namespace {

// A polygon is held in memory until it is drawn; one that grows past this is cut off there.
constexpr size_t kMaxEntries = 4000000;

} // namespace

void PolygonBuffer::begin(Point start)
{
    entries_.clear();
    ++generation_;
    breakPending_ = true;
    startPending(start);
}

void PolygonBuffer::add(Point p, Kind kind, bool drawn)
{
    if (entries_.size() < kMaxEntries)
        entries_.push_back({p, kind, drawn});
}

// Starts the next sub-polygon at `p` when the last one has ended; true when it did.
bool PolygonBuffer::startPending(Point p)
{
    if (!breakPending_ && !entries_.empty())
        return false;
    breakPending_ = false;
    // A sub-polygon of only its start point is no sub-polygon: the new start replaces it.
    if (!entries_.empty() && entries_.back().kind == Kind::Start)
        entries_.back().p = p;
    else
        add(p, Kind::Start, false);
    return true;
}

void PolygonBuffer::moveTo(Point p)
{
    if (startPending(p))
        return;
    // A move straight after the start only moves the start; later ones are edges of the fill.
    if (entries_.back().kind == Kind::Start)
        entries_.back().p = p;
    else
        add(p, Kind::Edge, false);
}

void PolygonBuffer::lineTo(Point p)
{
    if (startPending(p))
        return;
    add(p, Kind::Edge, true);
}

void PolygonBuffer::curveTo(Point c1, Point c2, Point p)
{
    if (startPending(p) || entries_.size() + 3 > kMaxEntries)
        return;
    add(c1, Kind::Control, true);
    add(c2, Kind::Control, true);
    add(p, Kind::Edge, true);
}

void PolygonBuffer::closeSubpolygon(bool penDown)
{
    if (breakPending_ || entries_.empty())
        return;
    size_t start = entries_.size() - 1;
    while (entries_[start].kind != Kind::Start)
        --start;
    if (!(entries_.back().p == entries_[start].p))
        add(entries_[start].p, Kind::Edge, penDown);
    breakPending_ = true;
}

void PolygonBuffer::drawInto(PathSink& out, bool fill) const
{
    size_t first = 0;
    while (first < entries_.size()) {
        size_t end = first + 1;
        while (end < entries_.size() && entries_[end].kind != Kind::Start)
            ++end;
        drawSubpolygon(out, first, end, fill);
        first = end;
    }
}

void PolygonBuffer::drawSubpolygon(PathSink& out, size_t first, size_t end, bool fill) const
{
    const Point start = entries_[first].p;
    bool extended = false, allDrawn = true;
    for (size_t i = first + 1; i < end; ++i) {
        extended = extended || !(entries_[i].p == start);
        allDrawn = allDrawn && entries_[i].drawn;
    }
    if (!extended)
        return;
    bool onFigure = false;
    Point at = start;
    for (size_t i = first + 1; i < end; ++i) {
        const Entry& e = entries_[i];
        bool isCurve = e.kind == Kind::Control && i + 2 < end;
        Point reached = isCurve ? entries_[i + 2].p : e.p;
        if (fill || e.drawn) {
            if (!onFigure)
                out.moveTo(at);
            onFigure = true;
            if (isCurve)
                out.curveTo(e.p, entries_[i + 1].p, reached);
            else
                out.lineTo(reached);
        } else {
            onFigure = false;
        }
        at = reached;
        if (isCurve)
            i += 2;
    }
    if (fill || (allDrawn && at == start))
        out.closeFigure();
}

} // namespace hpgl
