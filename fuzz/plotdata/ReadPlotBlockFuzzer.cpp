// Feeds arbitrary bytes to the plot block reader. Whatever it decodes must survive being written and read
// again unchanged, so a reader that accepts what the writer cannot reproduce is caught as well as any
// read outside the input.
#include "plotdata/CPlot.h"
#include "plotdata/PlotBlock.h"
#include "plotdata/PlotBlockWriter.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::unique_ptr<CPlot> plot = readPlotBlock(data, size);
    if (!plot)
        return 0;
    const std::vector<std::uint8_t> written = writePlotBlock(*plot);
    const std::unique_ptr<CPlot> again = readPlotBlock(written.data(), written.size());
    if (!again || writePlotBlock(*again) != written)
        std::abort();
    return 0;
}
