#include "jobs/CAutoJobList.h"

#include "jobs/FileErrors.h"
#include "jobs/JobTexts.h"
#include "platform/FileTime.h"

#include <climits>

CAutoJobList::CAutoJobList(const ServerSettings& settings) : CJobList(settings) {}

bool CAutoJobList::isInUse(int row) const
{
    return isRow(row) && (row == runningJob_ || (jobInOutput_ && jobAt(row) == jobInOutput_));
}

int CAutoJobList::addJob(std::string_view path, std::unique_ptr<CPlotJob> job)
{
    if (hasPath(path) || !CPlotJob::pathFits(path))
        return -1;
    if (!job) {
        job = CPlotJob::create(path, CPlotJob::STATE_WAITING, settings());
        if (platform::hasPlottedMark(std::string(path))) {
            job->state = CPlotJob::STATE_FINISHED;
            job->copies = 0;
        }
    }
    const int row = appendRow(path, std::move(job));
    refreshRow(row);
    return row;
}

void CAutoJobList::refreshRow(int row)
{
    const CPlotJob* job = jobAt(row);
    if (!job)
        return;
    setItemText(row, COLUMN_LENGTH, lengthText(job->length, false));
    setItemText(row, COLUMN_SECTION, lengthText(static_cast<int>(job->sectionLength), false));
    setItemText(row, COLUMN_COPIES, copiesText(*job));
    if (job->copiesDone >= job->copies)
        setItemText(row, COLUMN_STATE, "Finished!");
    else
        setItemText(row, COLUMN_STATE, job->state == CPlotJob::STATE_WAITING ? "Waitting" : "Stand");
    redrawRow(row);
}

void CAutoJobList::redrawRow(int row)
{
    if (isRow(row))
        view().rowChanged(row);
}

void CAutoJobList::redrawAll()
{
    runningJob_ = -1;
    for (int row = 0; row < rowCount(); ++row)
        view().rowChanged(row);
}

std::string CAutoJobList::stateColumnText(int row) const
{
    if (row == runningJob_)
        return itemText(row, COLUMN_STATE);
    const CPlotJob* job = jobAt(row);
    return job ? stateText(*job) : std::string();
}

void CAutoJobList::setProgressText(int row, const std::string& text)
{
    if (!isRow(row))
        return;
    setItemText(row, COLUMN_STATE, text);
    view().progressText(row, text);
}

void CAutoJobList::setStalledText(int row, const std::string& text)
{
    if (!isRow(row))
        return;
    setProgressText(row, text);
    view().deviceStalled(row, text);
}

int CAutoJobList::nextWaitingJob(int from)
{
    for (int row = from < 0 ? 0 : from; row < rowCount(); ++row) {
        CPlotJob* job = jobAt(row);
        if (!job || job->state != CPlotJob::STATE_WAITING)
            continue;
        if (job->copiesDone < job->copies)
            return row;
        job->state = CPlotJob::STATE_FINISHED;
        redrawRow(row);
    }
    return -1;
}

bool CAutoJobList::deleteRowAndFile(int row)
{
    if (const CPlotJob* job = jobAt(row)) {
        if (!deleteJobFile(job->path))
            return false;
    }
    removeRow(row);
    if (runningJob_ > row)
        --runningJob_;
    return true;
}

bool CAutoJobList::deleteSelectedJob()
{
    const int row = selectedRow();
    if (row < 0 || isInUse(row))
        return false;
    return deleteRowAndFile(row);
}

bool CAutoJobList::deleteAllJobs()
{
    runMode_ = 0;
    int row = 0;
    while (row < rowCount()) {
        if (isInUse(row)) {
            ++row;
            continue;
        }
        if (!deleteRowAndFile(row))
            return false;
    }
    return true;
}

void CAutoJobList::addCopy()
{
    const int row = selectedRow();
    CPlotJob* job = jobAt(row);
    if (!job)
        return;
    if (job->copies < INT_MAX)
        ++job->copies;
    if (job->state == CPlotJob::STATE_FINISHED)
        job->state = CPlotJob::STATE_STANDBY;
    refreshRow(row);
}

void CAutoJobList::removeCopy()
{
    const int row = selectedRow();
    CPlotJob* job = jobAt(row);
    if (!job || job->copiesDone >= job->copies)
        return;
    --job->copies;
    refreshRow(row);
}

bool CAutoJobList::pressAt(int row, int x, int labelLeft)
{
    CPlotJob* job = jobAt(row);
    if (!job || isInUse(row) || x <= 16 || x >= labelLeft + 48)
        return false;
    if (x <= 32) {
        if (job->state == CPlotJob::STATE_STANDBY) {
            job->state = CPlotJob::STATE_WAITING;
            job->messageId = 0;
        } else {
            job->state = CPlotJob::STATE_STANDBY;
        }
    } else if (x <= 48) {
        job->options ^= CPlotJob::OPTION_HALF_CUT;
    } else {
        job->options ^= CPlotJob::OPTION_AUTO_FEED;
    }
    redrawRow(row);
    return true;
}

bool CAutoJobList::forgetJob(int row)
{
    if (!isRow(row) || isInUse(row))
        return false;
    if (runningJob_ > row)
        --runningJob_;
    removeRow(row);
    return true;
}
