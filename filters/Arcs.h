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

// True when the arc around `center` from `start` sweeping `sweepDegrees` has a length to draw.
bool arcHasLength(Point center, Point start, double sweepDegrees);

// The point reached from `start` turning `degrees` around `center` (counter-clockwise when positive).
Point pointAround(Point center, Point start, double degrees);

// The chord angle of an arc instruction: its parameter at `index` (degrees, held to the 0.5 to 180
// a device accepts), or 0 when the instruction has none and the arc is drawn as Beziers.
double chordAngle(const double* v, int n, int index);

// How many equal chords of at most `chordDegrees` a device draws for a sweep.
int chordCount(double sweepDegrees, double chordDegrees);

// The arc from `start` through `middle` to `end`. False when the three points lie on one line, which
// leaves `center` and `sweepDegrees` unset.
bool arcThroughPoints(Point start, Point middle, Point end, Point& center, double& sweepDegrees);

} // namespace hpgl
