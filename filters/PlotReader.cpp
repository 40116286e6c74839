#include "filters/PlotReader.h"

#include "filters/BlockWriter.h"
#include "filters/Interpreter.h"

#include <cmath>

namespace hpgl {

namespace {

// The block's sizes are 32-bit signed numbers; a drawing is refused well before it reaches that.
constexpr size_t kMaxBlockBytes = size_t{1} << 30;
// How much of the start of a file is looked at to tell a plot from binary data.
constexpr size_t kSniffBytes = 64 * 1024;

// Plot files are text with a few control characters (ETX, ESC, line ends, tabs, and the shift out and
// shift in that switch a label's character set). Binary data is full of the others; a file whose start
// holds more than one in twenty of them is not a plot.
bool looksBinary(const unsigned char* data, size_t size)
{
    size_t n = size < kSniffBytes ? size : kSniffBytes;
    size_t odd = 0;
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = data[i];
        if ((c < 0x20 && c != 0x03 && c != 0x1B && c != '\t' && c != '\n' && c != '\r' && c != '\f' &&
             c != 0x0E && c != 0x0F) ||
            c == 0x7F)
            ++odd;
    }
    return odd * 20 > n;
}

} // namespace

void* readPlot(const unsigned char* data, size_t size, double millimetresPerUnit, ReadProgress* progress)
{
    if (data == nullptr || size == 0 || !std::isfinite(millimetresPerUnit) || millimetresPerUnit <= 0 ||
        millimetresPerUnit > 1000)
        return nullptr;
    if (looksBinary(data, size))
        return nullptr;
    // A plain drawing gives about as many block bytes as file bytes (nine for a point written in some
    // ten characters): starting the block at that size spares growing it step by step.
    BlockWriter writer(kMaxBlockBytes, size);
    Interpreter interpreter(data, size, writer, millimetresPerUnit, progress);
    interpreter.run();
    return writer.finish();
}

} // namespace hpgl
