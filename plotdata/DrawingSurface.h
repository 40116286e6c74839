#pragma once

#include "geometry/Point.h"
#include "plotdata/CPen.h"

// Where a plot is drawn: one path at a time is built from moves, lines and Bezier curves in surface
// pixels, then stroked once with the pen selected at that moment. The preview window implements it;
// tests record the calls.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Starts a new, empty path.
    virtual void beginPath() = 0;
    virtual void moveTo(IPoint p) = 0;
    virtual void lineTo(IPoint p) = 0;
    virtual void bezierTo(IPoint control1, IPoint control2, IPoint end) = 0;
    // Makes the pen the current one and returns the pen it replaces.
    virtual CPen selectPen(const CPen& pen) = 0;
    // Ends the path and strokes it with the current pen.
    virtual void strokePath() = 0;
};
