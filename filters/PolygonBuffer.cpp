#include "filters/PolygonBuffer.h"

#include <cstddef>

namespace hpgl {

namespace {

// A polygon is held in memory until it is drawn; one that grows past this is cut off there.
constexpr size_t kMaxEntries = 4000000;

} // namespace

void PolygonBuffer::clear()
{
    entries_.clear();
    breakPending_ = false;
    ++generation_;
}

void PolygonBuffer::add(Point p, Kind kind)
{
    if (entries_.size() < kMaxEntries)
        entries_.push_back({p, kind});
}

void PolygonBuffer::moveTo(Point p)
{
    breakPending_ = false;
    // A move after a move replaces it: an empty figure is no figure.
    if (!entries_.empty() && entries_.back().kind == Kind::Move)
        entries_.back().p = p;
    else
        add(p, Kind::Move);
}

void PolygonBuffer::lineTo(Point p)
{
    if (breakPending_ || entries_.empty()) {
        moveTo(p);
        return;
    }
    add(p, Kind::Line);
}

void PolygonBuffer::curveTo(Point c1, Point c2, Point p)
{
    if (breakPending_ || entries_.empty()) {
        moveTo(p);
        return;
    }
    if (entries_.size() + 3 > kMaxEntries)
        return;
    add(c1, Kind::Control);
    add(c2, Kind::Control);
    add(p, Kind::Line);
}

void PolygonBuffer::drawInto(PathSink& out) const
{
    bool figure = false;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        switch (e.kind) {
        case Kind::Move:
            if (figure)
                out.closeFigure();
            out.moveTo(e.p);
            figure = false;
            break;
        case Kind::Line:
            out.lineTo(e.p);
            figure = true;
            break;
        case Kind::Control:
            out.curveTo(e.p, entries_[i + 1].p, entries_[i + 2].p);
            i += 2;
            figure = true;
            break;
        }
    }
    if (figure)
        out.closeFigure();
}

} // namespace hpgl
