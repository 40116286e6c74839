#include "jobs/JobTexts.h"

#include "jobs/CPlotJob.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <cstdio>

namespace {

constexpr double INCHES_PER_MILLIMETRE = 0.03937007874015748;

std::string inches(double millimetres) { return inchesNumber(millimetres) + " In"; }

} // namespace

std::string inchesNumber(double millimetres)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", millimetres * INCHES_PER_MILLIMETRE);
    return text;
}

std::string lengthText(int millimetres, bool inchUnits)
{
    if (inchUnits)
        return inches(millimetres);
    return std::to_string(millimetres) + "mm";
}

std::string sectionText(unsigned millimetres, bool inchUnits)
{
    if (inchUnits)
        return inches(millimetres);
    // The section is shown as the signed value it was set from.
    return std::to_string(static_cast<int>(millimetres)) + " mm";
}

std::string copiesText(const CPlotJob& job)
{
    return std::to_string(job.copiesDone) + "/" + std::to_string(job.copies);
}

std::string stateText(const CPlotJob& job)
{
    switch (job.state) {
    case CPlotJob::STATE_WAITING:
        return strings::localString(strings::IDS_STATE_WAITING);
    case CPlotJob::STATE_STANDBY:
    case CPlotJob::STATE_FAILED:
        if (job.messageId == 0)
            return strings::localString(strings::IDS_STATE_STANDBY);
        return job.messageText.empty() ? strings::resultString(job.messageId) : job.messageText;
    case CPlotJob::STATE_FINISHED:
        return strings::localString(strings::IDS_STATE_FINISHED);
    default:
        return {};
    }
}
