#include "filters/PlotReader.h"

#include <cstdint>
#include <cstdlib>

// Any bytes must give either no block or a block, without touching memory outside the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::free(hpgl::readPlot(data, size, 0.025));
    return 0;
}
