#pragma once

#include <filesystem>

// The largest real plot file of the folder (its SOURCES.md aside), for the benchmarks; empty when the
// folder is missing or holds none.
inline std::filesystem::path largestPlotFile(const std::filesystem::path& folder)
{
    std::filesystem::path largest;
    std::error_code error;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().filename() != "SOURCES.md" &&
            (largest.empty() || entry.file_size() > std::filesystem::file_size(largest)))
            largest = entry.path();
    }
    return largest;
}
