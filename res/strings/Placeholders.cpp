#include "res/strings/Placeholders.h"

std::string fillPlaceholders(const char* text, std::initializer_list<std::string> values)
{
    std::string result;
    const std::string* next = values.begin();
    for (const char* p = text; *p != '\0'; ++p) {
        if (p[0] == '%' && (p[1] == 'd' || p[1] == 's') && next != values.end()) {
            result += *next++;
            ++p;
        } else {
            result += *p;
        }
    }
    return result;
}
