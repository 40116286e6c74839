#include "cli/ServerLog.h"

#include <cstdio>
#include <ctime>

void logEvent(const std::string& text)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::printf("%s %s\n", stamp, text.c_str());
    std::fflush(stdout);
}
