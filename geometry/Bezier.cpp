#include "geometry/Bezier.h"

#include "geometry/Segment.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

FPoint lerp(FPoint a, FPoint b, float t) { return FPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

float coordinate(FPoint p, Axis axis) { return axis == Axis::X ? p.x : p.y; }

// The curve's coordinate minus `value`, as a cubic polynomial in t.
struct Cubic {
    double a, b, c, d;
    double operator()(double t) const { return ((a * t + b) * t + c) * t + d; }
};

Cubic cubicOf(const Bezier& curve, Axis axis, float value)
{
    const double v0 = coordinate(curve.p0, axis);
    const double v1 = coordinate(curve.p1, axis);
    const double v2 = coordinate(curve.p2, axis);
    const double v3 = coordinate(curve.p3, axis);
    return Cubic{-v0 + 3 * v1 - 3 * v2 + v3, 3 * v0 - 6 * v1 + 3 * v2, -3 * v0 + 3 * v1, v0 - value};
}

double refineRoot(const Cubic& f, double lo, double hi)
{
    for (;;) {
        const double mid = (lo + hi) / 2;
        const double fm = f(mid);
        if (std::fabs(fm) < 1e-7 || hi - lo <= 1e-7)
            return mid;
        if (f(lo) * fm < 0)
            hi = mid;
        else
            lo = mid;
    }
}

constexpr int kSamples = 10000;

// The crossing scan of one polynomial: the samples t = i / 10000 for i = 1 .. 10000 in order, each
// compared with the one before, a crossing wherever the sign changes. Runs of samples on which the
// polynomial provably keeps one sign are passed over, so that a scan costs a few hundred evaluations
// instead of ten thousand and still finds exactly the crossings the sample by sample scan finds.
class CrossingScan {
public:
    CrossingScan(const Cubic& f, float* roots)
        : f_(f), roots_(roots),
          // Horner's rule for a cubic errs by at most 6u / (1 - 6u) times the sum of the absolute
          // coefficients at any t in [0, 1], with u = 2^-53; 1e-15 lies above that.
          rounding_(1e-15 * (std::fabs(f.a) + std::fabs(f.b) + std::fabs(f.c) + std::fabs(f.d))),
          prevF_(f(0.0))
    {
    }

    // Scans the samples first .. last in runs of `run` samples (a power of ten); a run that may hold a
    // change of sign is scanned in runs a tenth as long, down to single samples.
    void scan(int first, int last, int run)
    {
        for (int from = first; from <= last && found_ < 3; from += run) {
            const int to = std::min(from + run - 1, last);
            if (run == 1) {
                sample(from);
            } else if (keepsSign(from, to)) {
                // Only the step into the run can change the sign; the run ends on its last sample.
                sample(from);
                prevT_ = tOf(to);
                prevF_ = f_(prevT_);
            } else {
                scan(from, to, run / 10);
            }
        }
    }

    int found() const { return found_; }

private:
    static double tOf(int i) { return i / double(kSamples); }

    // One step of the scan: a crossing where the sign changes since the previous sample.
    void sample(int i)
    {
        const double t = tOf(i);
        const double ft = f_(t);
        if (prevF_ * ft < 0)
            roots_[found_++] = static_cast<float>(refineRoot(f_, prevT_, t));
        else if (ft == 0.0 && t < 1.0)
            // A crossing that falls exactly on a sample shows no change of sign between samples.
            roots_[found_++] = static_cast<float>(t);
        prevT_ = t;
        prevF_ = ft;
    }

    // True when the samples first .. last all evaluate to non-zero values of one sign. The value at the
    // middle lies within the rounding bound of the true one; the true values of the run lie within the
    // variation of the true middle value, by the Taylor expansion at the middle (exact for a cubic), taken
    // a thousandth larger to cover its own rounding; each sample's value lies within the rounding bound
    // of its true one. Not-a-number values never pass.
    bool keepsSign(int first, int last) const
    {
        const double middle = (tOf(first) + tOf(last)) / 2;
        const double reach = (tOf(last) - tOf(first)) / 2 + 1e-12;
        const double slope = (3 * f_.a * middle + 2 * f_.b) * middle + f_.c;
        const double bend = 3 * f_.a * middle + f_.b;
        const double variation =
            ((std::fabs(f_.a) * reach + std::fabs(bend)) * reach + std::fabs(slope)) * reach;
        return std::fabs(f_(middle)) > 2 * rounding_ + 1.001 * variation;
    }

    const Cubic f_;
    float* roots_;
    const double rounding_;
    int found_ = 0;
    double prevT_ = 0.0;
    double prevF_;
};

constexpr float kEmptyEntry = 10.0f;
// 0 and 1, and up to three crossings for each of the four edges.
constexpr int kParameterSlots = 2 + 4 * 3;

// Inserts t into the ascending list, unless it is there already.
void insertParameter(float (&list)[kParameterSlots], float t)
{
    int at = 0;
    while (at < kParameterSlots && list[at] < t)
        ++at;
    if (at == kParameterSlots || list[at] == t)
        return;
    for (int i = kParameterSlots - 1; i > at; --i)
        list[i] = list[i - 1];
    list[at] = t;
}

void insertCrossings(float (&list)[kParameterSlots], const Bezier& curve, Axis axis, float value)
{
    float roots[3];
    const int n = bezierCrossings(curve, axis, value, roots);
    for (int i = 0; i < n; ++i)
        if (roots[i] > 0.0f && roots[i] < 1.0f)
            insertParameter(list, roots[i]);
}

} // namespace

FPoint bezierPoint(const Bezier& curve, float t)
{
    const float mt = 1.0f - t;
    const float a = mt * mt * mt;
    const float b = 3.0f * t * mt * mt;
    const float c = 3.0f * t * t * mt;
    const float d = t * t * t;
    return FPoint{a * curve.p0.x + b * curve.p1.x + c * curve.p2.x + d * curve.p3.x,
                  a * curve.p0.y + b * curve.p1.y + c * curve.p2.y + d * curve.p3.y};
}

void bezierSplit(const Bezier& curve, float t, Bezier& first, Bezier& second)
{
    const FPoint p01 = lerp(curve.p0, curve.p1, t);
    const FPoint p12 = lerp(curve.p1, curve.p2, t);
    const FPoint p23 = lerp(curve.p2, curve.p3, t);
    const FPoint p012 = lerp(p01, p12, t);
    const FPoint p123 = lerp(p12, p23, t);
    const FPoint at = lerp(p012, p123, t);
    const Bezier source = curve; // first or second may be the curve itself
    first = Bezier{source.p0, p01, p012, at};
    second = Bezier{at, p123, p23, source.p3};
}

Bezier bezierRange(const Bezier& curve, float t0, float t1)
{
    const float lo = std::min(t0, t1);
    const float hi = std::max(t0, t1);
    Bezier head, tail;
    bezierSplit(curve, hi, head, tail);
    // A range that ends at 0 is the start point alone; the ratio would be 0 / 0.
    const float ratio = hi == 0.0f ? 0.0f : lo / hi;
    Bezier before, range;
    bezierSplit(head, ratio, before, range);
    return range;
}

FRect bezierBox(const Bezier& curve)
{
    return FRect{std::min({curve.p0.x, curve.p1.x, curve.p2.x, curve.p3.x}),
                 std::min({curve.p0.y, curve.p1.y, curve.p2.y, curve.p3.y}),
                 std::max({curve.p0.x, curve.p1.x, curve.p2.x, curve.p3.x}),
                 std::max({curve.p0.y, curve.p1.y, curve.p2.y, curve.p3.y})};
}

int bezierCrossings(const Bezier& curve, Axis axis, float value, float roots[3])
{
    const Cubic f = cubicOf(curve, axis, value);
    // A coordinate that equals the value all along never crosses it.
    if (f.a == 0.0 && f.b == 0.0 && f.c == 0.0 && f.d == 0.0)
        return 0;
    CrossingScan scan(f, roots);
    scan.scan(1, kSamples, 1000);
    return scan.found();
}

bool clipBezier(const Bezier& curve, const FRect& rect, ClipPointList& out)
{
    FRect r = rect;
    r.normalise();
    const FRect box = bezierBox(curve);
    if (!segmentBoxMeets(FPoint{box.left, box.top}, FPoint{box.right, box.bottom}, r))
        return false;

    float list[kParameterSlots];
    std::fill(std::begin(list), std::end(list), kEmptyEntry);
    list[0] = 0.0f;
    list[1] = 1.0f;
    if (box.left < r.left && r.left < box.right)
        insertCrossings(list, curve, Axis::X, r.left);
    if (box.left < r.right && r.right < box.right)
        insertCrossings(list, curve, Axis::X, r.right);
    if (box.top < r.top && r.top < box.bottom)
        insertCrossings(list, curve, Axis::Y, r.top);
    if (box.top < r.bottom && r.bottom < box.bottom)
        insertCrossings(list, curve, Axis::Y, r.bottom);

    int written = 0;
    for (int i = 0; i + 1 < kParameterSlots && list[i] < 1.0f; ++i) {
        if (!pointInRect(bezierPoint(curve, (list[i] + list[i + 1]) / 2), r))
            continue;
        const Bezier piece = bezierRange(curve, list[i], list[i + 1]);
        out[written++] = piece.p0;
        out[written++] = piece.p1;
        out[written++] = piece.p2;
        out[written++] = piece.p3;
    }
    out[written] = FPoint{kClipListEnd, kClipListEnd};
    return true;
}
