#pragma once

#include <cstddef>

namespace hpgl {

// Told, from time to time while the text is read, how far the reading has come: nothing before that
// point is looked at again, so its memory may be given back.
class ReadProgress {
public:
    virtual ~ReadProgress() = default;
    virtual void readUpTo(size_t offset) = 0;
};

// Reads HP-GL or HP-GL/2 text into a plot block (malloc'ed; the caller frees it), with coordinates in
// millimetres at `millimetresPerUnit` per plotter unit. Null when the text holds no drawing, looks like
// binary data rather than a plot, or would give a block beyond the size the block layout can carry.
void* readPlot(const unsigned char* data, size_t size, double millimetresPerUnit,
               ReadProgress* progress = nullptr);

} // namespace hpgl
