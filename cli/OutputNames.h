#pragma once

#include <optional>
#include <string>

// The names of the output folder's files. Every pass gets a name of its own: a plot file's passes are
// NAME.out, NAME.2.out, NAME.3.out, ... after the plot file's name without its extension, and a name the
// folder holds already is never replaced: the copy takes NAME-2.out (NAME-2.2.out, ...), NAME-3.out, ...
// instead, so that job.plt and job.hpgl, or two copies of one job, keep every pass they were charged for.
namespace outputnames {

// The plot file's name without folder and extension, shortened at a character's edge where needed so
// that every name made from it, the hidden temporary one included, fits the file system's 255 bytes.
std::string stemOf(const std::string& plotFileSystemPath);

// Moves the finished pass at temporary into the folder under base + suffix, or the first of base-2 +
// suffix, base-3 + suffix, ... that no file holds, without ever replacing one. Returns the path given and
// sets chosenBase to the base it took; nothing, with errno set, when the move failed.
std::optional<std::string> moveToFreeName(const std::string& temporary, const std::string& folder,
                                          const std::string& base, const std::string& suffix,
                                          std::string& chosenBase);

// Moves the finished pass at temporary to the hidden name that holds it for base + suffix, or for the
// first of base-2 + suffix, base-3 + suffix, ... that neither a file of the folder nor another held pass
// takes: "." + name + held. Returns the hidden path and sets chosenBase; nothing, with errno set, when the
// move failed.
std::optional<std::string> holdUnderFreeName(const std::string& temporary, const std::string& folder,
                                             const std::string& base, const std::string& suffix,
                                             const std::string& held, std::string& chosenBase);

} // namespace outputnames
