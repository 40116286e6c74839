#include "ports/PortKind.h"

#include <cstring>

int classifyPortName(const char* name)
{
    if (name == nullptr)
        return kOtherPort;
    const std::size_t length = std::strlen(name);
    char upper[5] = {};
    if (length <= 4) {
        for (std::size_t i = 0; i < length; ++i)
            upper[i] = (name[i] >= 'a' && name[i] <= 'z') ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
        if (std::strcmp(upper, "FILE") == 0)
            return kFilePort;
    }
    if (length != 4 || name[3] < '1' || name[3] > '8')
        return kOtherPort;
    const int digit = name[3] - '0';
    if (std::strncmp(name, "LPT", 3) == 0)
        return kFirstParallelPort + digit - 1;
    if (std::strncmp(name, "COM", 3) == 0)
        return digit;
    return kOtherPort;
}
