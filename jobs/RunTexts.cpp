#include "jobs/RunTexts.h"

#include "jobs/CPlotRun.h"
#include "jobs/JobTexts.h"
#include "plotdata/ResultCodes.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

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
    return fillPlaceholders(strings::localString(strings::IDS_PROGRESS),
                            {std::to_string(fromMillimetres), std::to_string(toMillimetres)});
}

std::string remainingMediaText(int millimetres, bool inches)
{
    if (!inches)
        return fillPlaceholders(strings::localString(strings::IDS_REMAINING_MM),
                                {std::to_string(millimetres)});
    return fillPlaceholders(strings::localString(strings::IDS_REMAINING_INCH), {inchesNumber(millimetres)});
}

std::string portOpenFailureText(const std::string& port, const std::string& reason)
{
    return fillPlaceholders(strings::resultString(RESULT_PORT_OPEN_FAILED), {port, reason});
}

std::string portWriteFailureText(const std::string& port, const std::string& reason)
{
    return fillPlaceholders(strings::resultString(RESULT_PORT_WRITE_FAILED), {port, reason});
}

std::string stalledText(std::size_t bytesSent)
{
    return fillPlaceholders(strings::localString(strings::IDS_DEVICE_STALLED), {std::to_string(bytesSent)});
}
