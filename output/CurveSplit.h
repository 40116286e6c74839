#pragma once

#include "geometry/Bezier.h"

// Where the flattening splits a curve that bulges beyond the tolerance. Its end angles are the angle
// between P0->P1 and the chord P0->P3 and the angle between P2->P3 and the chord, each folded into 0 ..
// half a turn. When either reaches the angle limit (the curve accuracy read as degrees) the curve is
// split: in its middle when the two angles differ by less than a degree, else nearer the end with the
// smaller angle. Otherwise it is drawn as a line.
//
// The angles are defined by arc tangents in single precision. Comparing cosines (dot products of the
// directions) tells the same almost always without any trigonometry: only when a cosine lies within a
// hair (1e-5 radians) of a bound, closer than the arc tangents can be trusted to round, are the arc
// tangents taken, so every decision is the one the angles give.
class CurveSplit {
public:
    explicit CurveSplit(float curveAccuracy);
    // 0 when the curve is drawn as a line, else the ratio at which it is split.
    float ratio(const Bezier& curve) const;

private:
    float angleLimit_;
    // Cosines of the limit plus and minus the margin: an angle whose cosine is at most the first surely
    // reaches the limit; one whose cosine is at least the second surely does not.
    double reachesLimit_;
    double belowLimit_;
};

// The same decision from the arc tangents, as the angles are defined.
float curveSplitRatioByAngles(const Bezier& curve, float angleLimit);
