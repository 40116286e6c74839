#pragma once

#include "filters/PathSink.h"

#include <vector>

namespace hpgl {

// Collects the figures drawn in polygon mode, so that an edge or fill instruction can draw them later
// as closed outlines. Each figure (sub-polygon) starts with a move.
class PolygonBuffer : public PathSink {
public:
    void clear();
    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void curveTo(Point c1, Point c2, Point p) override;
    void closeFigure() override {} // every figure is closed when the buffer is drawn
    // Ends the current sub-polygon: the next point starts the next one, even with the pen down.
    void startNextFigure() { breakPending_ = true; }

    // Draws every figure of more than one point into `out`, closed.
    void drawInto(PathSink& out) const;

    // Changes whenever the buffer is started afresh, so callers can tell one polygon from another.
    unsigned generation() const { return generation_; }

private:
    enum class Kind : unsigned char { Move, Line, Control };
    struct Entry {
        Point p;
        Kind kind;
    };
    void add(Point p, Kind kind);

    std::vector<Entry> entries_;
    bool breakPending_ = false;
    unsigned generation_ = 0;
};

} // namespace hpgl
