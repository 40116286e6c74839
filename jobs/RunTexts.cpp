#include "jobs/RunTexts.h"

#include "jobs/CPlotRun.h"
#include "jobs/JobTexts.h"
#include "res/strings/StringTable.h"

namespace {

constexpr int STRING_PROGRESS = 20013;
constexpr int STRING_REMAINING_MM = 20500;
constexpr int STRING_REMAINING_INCH = 20501;

} // namespace

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

std::string progressText(int fromMillimetres, int toMillimetres)
{
    return fillPlaceholders(strings::localString(STRING_PROGRESS),
                            {std::to_string(fromMillimetres), std::to_string(toMillimetres)});
}

std::string remainingMediaText(int millimetres, bool inches)
{
    if (!inches)
        return fillPlaceholders(strings::localString(STRING_REMAINING_MM), {std::to_string(millimetres)});
    return fillPlaceholders(strings::localString(STRING_REMAINING_INCH), {inchesNumber(millimetres)});
}

std::string portOpenFailureText(const std::string& port, const std::string& reason)
{
    return fillPlaceholders(strings::programString(RESULT_PORT_OPEN_FAILED), {port, reason});
}
