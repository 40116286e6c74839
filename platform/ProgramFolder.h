#pragma once

#include <string>

// The program folder: the folder of the running executable, where the settings files and the loadable
// modules live. Always ends with '/'.
namespace platform {

std::string programFolder();
// Points the program folder at another folder (tests use a temporary one); an empty text restores the
// executable's folder. A missing trailing '/' is added.
void setProgramFolder(const std::string& folder);

} // namespace platform
