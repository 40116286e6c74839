#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Writes bytes as the new content of the file at path (a file-system path). The bytes go to a new file
// beside the old one, which is flushed to disk and then renamed over the old one, so a crash or a full disk
// leaves either the old file whole or the new one. A replaced file keeps its permissions; writing through
// a symbolic link replaces the file it points to. False when the file could not be written.
bool replaceFileContent(const std::string& path, std::string_view bytes);

// The same, but the old file is replaced only when stillCurrent, asked once the new content is on disk
// just before the rename, says so; Changed, with nothing replaced, otherwise.
enum class ReplaceResult { Replaced, Changed, Failed };
ReplaceResult replaceFileContentIf(const std::string& path, std::string_view bytes,
                                   const std::function<bool()>& stillCurrent);

} // namespace platform
