#pragma once

#include "filters/PathSink.h"

namespace hpgl {

// One cubic Bezier piece of an arc: two control points and the end point.
struct CurvePiece {
    Point c1, c2, end;
};

// Up to four pieces of at most 90 degrees each, enough for a full turn.
struct ArcPieces {
    CurvePiece piece[4];
    int count = 0;
};

// The arc around `center` that starts at `start` and sweeps `sweepDegrees` (counter-clockwise when
// positive, at most one full turn either way) as cubic Bezier pieces.
ArcPieces arcPieces(Point center, Point start, double sweepDegrees);

// The arc from `start` through `middle` to `end`. False when the three points lie on one line, which
// leaves `center` and `sweepDegrees` unset.
bool arcThroughPoints(Point start, Point middle, Point end, Point& center, double& sweepDegrees);

} // namespace hpgl
