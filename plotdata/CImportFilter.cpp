#include "plotdata/CImportFilter.h"

CImportFilter::CImportFilter() : library_(IMPORT_LIBRARY) {}

platform::LibraryHandle CImportFilter::bind(const std::string& name)
{
    GetVersion = GetFilters = FilterRead = CanUse = nullptr;
    NFilterRead = nullptr;
    platform::LibraryHandle handle = library_.load(name);
    if (handle == nullptr)
        return nullptr;
    GetVersion = library_.resolve("GetVersion");
    GetFilters = library_.resolve("GetFilters");
    FilterRead = library_.resolve("FilterRead");
    NFilterRead = reinterpret_cast<NFilterReadFunction>(library_.resolve("NFilterRead"));
    CanUse = library_.resolve("CanUse");
    return handle;
}
