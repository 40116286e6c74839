#include "jobs/CJobList.h"

#include "platform/PathMapping.h"

namespace {

CJobListView silentView;

// What identifies a job: the file its path resolves to, so that "C:\Receive\a.plt" and the same file
// named through its drive folder are one job. Letter case is ignored for ASCII letters only, whatever the
// locale, so that the bytes of multi-byte characters are never changed.
std::string jobKey(std::string_view path)
{
    std::string lower = platform::toFileSystemPath(path);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

} // namespace

CJobList::CJobList(const ServerSettings& settings) : settings_(settings), view_(&silentView) {}

void CJobList::setView(CJobListView* view) { view_ = view ? view : &silentView; }

bool CJobList::hasPath(std::string_view path) const { return jobKeys_.contains(jobKey(path)); }

CPlotJob* CJobList::jobAt(int row) const { return isRow(row) ? rows_[row].job.get() : nullptr; }

const std::string& CJobList::itemText(int row, int column) const
{
    static const std::string none;
    if (!isRow(row) || column < 0 || column >= COLUMNS)
        return none;
    return rows_[row].texts[column];
}

void CJobList::select(int row)
{
    selected_ = isRow(row) ? row : -1;
    view_->selectionChanged(selected_);
}

void CJobList::releaseAll()
{
    for (Row& row : rows_)
        row.job.reset();
}

int CJobList::appendRow(std::string_view path, std::unique_ptr<CPlotJob> job)
{
    Row added;
    added.texts[0] = path;
    added.key = jobKey(path);
    added.job = std::move(job);
    view_->rowsAboutToBeInserted(rowCount(), 1);
    rows_.push_back(std::move(added));
    jobKeys_.insert(rows_.back().key);
    const int row = rowCount() - 1;
    view_->rowsInserted(row, 1);
    return row;
}

void CJobList::removeRow(int row)
{
    if (!isRow(row))
        return;
    view_->rowsAboutToBeRemoved(row, 1);
    jobKeys_.erase(rows_[row].key);
    rows_.erase(rows_.begin() + row);
    if (selected_ == row)
        selected_ = -1;
    else if (selected_ > row)
        --selected_;
    view_->rowsRemoved(row, 1);
}

void CJobList::setItemText(int row, int column, std::string text)
{
    if (isRow(row) && column >= 0 && column < COLUMNS)
        rows_[row].texts[column] = std::move(text);
}
