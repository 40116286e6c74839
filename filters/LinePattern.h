#pragma once

#include "filters/PathSink.h"

#include <cmath>
#include <vector>

namespace hpgl {

// A dash pattern the filter draws itself: lengths in plotter units, pen down first, then up, down and
// so on. A fixed pattern runs on from one line to the next and starts again after a pen-up move; an
// adaptive one is fitted to each line, a whole number of times.
class LinePattern {
public:
    LinePattern() = default;
    LinePattern(std::vector<double> lengths, bool adaptive);

    bool empty() const { return lengths_.empty(); }
    void restart();

    // Calls draw(from, to) for every pen-down piece of the line a-b, in order. A pen-down element of
    // no length is a dot: from equals to.
    template <typename Draw> void split(Point a, Point b, Draw draw)
    {
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (!(length > 0)) {
            if (down())
                draw(a, b);
            return;
        }
        // A line so long against the pattern that dashing it would take unbounded time and room is
        // drawn solid.
        if (length / total_ > kMaxRepeats) {
            draw(a, b);
            return;
        }
        double scale = 1;
        if (adaptive_) {
            restart();
            scale = length / (total_ * std::fmax(1.0, std::round(length / total_)));
        }
        double done = 0;
        while (true) {
            const double step = left_ * scale;
            const double end = done + step;
            if (end > length) {
                if (down())
                    draw(along(a, b, done / length), b);
                left_ -= (length - done) / scale;
                return;
            }
            if (down())
                draw(along(a, b, done / length), along(a, b, end / length));
            done = end;
            next();
            // An adaptive pattern ends with the line, whatever rounding leaves over.
            if (done >= (adaptive_ ? length * (1 - 1e-9) : length))
                return;
        }
    }

private:
    static constexpr double kMaxRepeats = 100000;

    static Point along(Point a, Point b, double t) { return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}; }
    bool down() const { return index_ % 2 == 0; }
    void next()
    {
        index_ = (index_ + 1) % lengths_.size();
        left_ = lengths_[index_];
    }

    std::vector<double> lengths_;
    double total_ = 0;
    bool adaptive_ = false;
    size_t index_ = 0;
    double left_ = 0; // of the current element, unscaled
};

} // namespace hpgl
