#pragma once

#include "filters/PathSink.h"

#include <cstddef>
#include <vector>

namespace hpgl {

// Collects what polygon mode draws, so that an edge or fill instruction can draw it later. The
// polygon is a list of sub-polygons; each starts at a point and runs along edges that were defined
// with the pen down (drawn by the edge instruction) or up (only bounding the fill).
class PolygonBuffer : public PathSink {
public:
    // Starts a new polygon whose first point is `start`.
    void begin(Point start);
    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void curveTo(Point c1, Point c2, Point p) override;
    // Ends the current sub-polygon closed by a drawn edge (a circle in polygon mode).
    void closeFigure() override { closeSubpolygon(true); }
    // Ends the current sub-polygon, adding the edge back to its start unless it is there already; the
    // edge is drawn when the pen is down. The next point starts the next sub-polygon.
    void closeSubpolygon(bool penDown);
    // Ends the current sub-polygon as it stands.
    void startNextFigure() { breakPending_ = true; }

    // Fill: every sub-polygon as a closed outline along all its edges. Edge: only the runs of edges
    // defined with the pen down; a sub-polygon is closed only when all of it was. Sub-polygons whose
    // points all coincide draw nothing.
    void drawInto(PathSink& out, bool fill) const;

    // Changes whenever the buffer is started afresh, so callers can tell one polygon from another.
    unsigned generation() const { return generation_; }

private:
    enum class Kind : unsigned char { Start, Edge, Control };
    struct Entry {
        Point p;
        Kind kind;
        bool drawn;
    };
    void add(Point p, Kind kind, bool drawn);
    bool startPending(Point p);
    void drawSubpolygon(PathSink& out, size_t first, size_t end, bool fill) const;

    std::vector<Entry> entries_;
    bool breakPending_ = true;
    unsigned generation_ = 0;
};

} // namespace hpgl
