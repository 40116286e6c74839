#include "plotdata/LoadPlot.h"

#include "platform/Hooks.h"
#include "plotdata/CPlot.h"
#include "plotdata/PlotBlock.h"
#include "plotdata/ResultCodes.h"

#include <cstdint>
#include <cstdlib>

namespace {

struct FreeBlock {
    void operator()(std::uint8_t* block) const { std::free(block); }
};

} // namespace

int loadPlot(std::unique_ptr<CPlot>& plot, const std::string& filePath, const std::string& filterLibrary)
{
    // Declared before the wait cursor so that the library is unloaded after the cursor is restored.
    CImportFilter filter;
    platform::WaitCursor waitCursor;

    if (plot)
        return RESULT_OK;
    if (filter.bind(filterLibrary) == nullptr)
        return RESULT_LIBRARY_FAILED;
    if (filter.NFilterRead == nullptr) {
        reportLoadFailure(filter.library().path(), "undefined symbol: NFilterRead");
        return RESULT_LIBRARY_FAILED;
    }

    std::unique_ptr<std::uint8_t, FreeBlock> block(
        static_cast<std::uint8_t*>(filter.NFilterRead(filePath.c_str(), IMPORT_SCALE, 0)));
    if (!block)
        return RESULT_FILTER_READ_FAILED;
    // The filter hands over a pointer only: the block's own total size is all that bounds it.
    plot = readPlotBlock(block.get(), plotBlockStatedSize(block.get()));
    return plot ? RESULT_OK : RESULT_DATA_BUILD_FAILED;
}
