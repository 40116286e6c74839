#pragma once

#include <optional>
#include <string>
#include <string_view>

// The two encodings settings files come in: UTF-8, and GB18030 for files older Windows programs wrote.
namespace platform {

bool isValidUtf8(std::string_view bytes);
// The UTF-8 form of GB18030 bytes; nothing when the bytes are not valid GB18030 either.
std::optional<std::string> gb18030ToUtf8(std::string_view bytes);

} // namespace platform
