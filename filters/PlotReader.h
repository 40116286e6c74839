#pragma once

#include <cstddef>

namespace hpgl {

// Reads HP-GL or HP-GL/2 text into a plot block (malloc'ed; the caller frees it), with coordinates in
// millimetres at `millimetresPerUnit` per plotter unit. Null when the text holds no drawing, looks like
// binary data rather than a plot, or would give a block beyond the size the block layout can carry.
void* readPlot(const unsigned char* data, size_t size, double millimetresPerUnit);

} // namespace hpgl
