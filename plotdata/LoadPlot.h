#pragma once

#include "plotdata/CImportFilter.h"

#include <memory>
#include <string>

class CPlot;

// Loads a job's drawing into its plot slot through the import filter, unless the slot already holds one.
// The filter library is loaded for this call only. Returns RESULT_OK, or RESULT_LIBRARY_FAILED when the
// library cannot be loaded or lacks NFilterRead (the user has been told), RESULT_FILTER_READ_FAILED when
// the filter returns nothing, RESULT_DATA_BUILD_FAILED when its block does not decode (the slot is then
// empty). The wait cursor shows throughout.
int loadPlot(std::unique_ptr<CPlot>& plot, const std::string& filePath,
             const std::string& filterLibrary = IMPORT_LIBRARY);
