#include "jobs/RunTexts.h"

#include "jobs/CPlotRun.h"
#include "jobs/JobTexts.h"
#include "output/PlotTimeMeter.h"
#include "plotdata/ResultCodes.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

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

std::string copyOfText(int copy, int copies)
{
    return fillPlaceholders(strings::localString(strings::IDS_COPY_OF),
                            {std::to_string(copy), std::to_string(copies)});
}

std::string timeLeftText(double seconds)
{
    return fillPlaceholders(strings::localString(strings::IDS_TIME_LEFT), {plotTimeText(seconds)});
}
