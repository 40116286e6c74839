#include "filters/LinePattern.h"

#include <numeric>

namespace hpgl {

// A pattern of no length at all, or with a length that is not a finite positive number, is none.
LinePattern::LinePattern(std::vector<double> lengths, bool adaptive) : adaptive_(adaptive)
{
    const double total = std::accumulate(lengths.begin(), lengths.end(), 0.0);
    bool sound = total > 0 && std::isfinite(total);
    for (double length : lengths)
        sound = sound && length >= 0;
    if (!sound)
        return;
    lengths_ = std::move(lengths);
    total_ = total;
    restart();
}

void LinePattern::restart()
{
    if (lengths_.empty())
        return;
    index_ = 0;
    left_ = lengths_[0];
}

} // namespace hpgl
