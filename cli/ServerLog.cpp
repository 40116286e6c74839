#include "cli/ServerLog.h"

#include <cstdio>
#include <ctime>

std::string escapeControls(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned>(byte));
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

void logEvent(const std::string& text)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::printf("%s %s\n", stamp, escapeControls(text).c_str());
    std::fflush(stdout);
}
