#pragma once

#include <cmath>

// value when it is a finite number, else fallback: no infinity or NaN enters the state of a pass.
inline float finiteOr(float value, float fallback) { return std::isfinite(value) ? value : fallback; }
