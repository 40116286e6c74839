#pragma once

#include <filesystem>
#include <string>

// The INI files the program ships, taken from the source tree. The build's program folder is no source
// for tests: running the program there writes Server.INI and may change a device-profile file.
inline std::filesystem::path shippedFile(const std::string& name)
{
    return std::filesystem::path(MARQUILL_SOURCE_DIR) / "res/config" / name;
}

// Copies every shipped INI file into a folder.
inline void copyShippedFiles(const std::filesystem::path& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(shippedFile("")))
        if (entry.path().extension() == ".INI")
            std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
}
