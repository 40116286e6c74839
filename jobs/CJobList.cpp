#include "jobs/CJobList.h"

#include <strings.h>

namespace {

CJobListView silentView;

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

CJobList::CJobList(const ServerSettings& settings) : settings_(settings), view_(&silentView) {}

void CJobList::setView(CJobListView* view)
{
    view_ = view ? view : &silentView;
}

int CJobList::findRow(std::string_view path) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (equalIgnoringCase(rows_[row].texts[0], path))
            return row;
    }
    return -1;
}

CPlotJob* CJobList::jobAt(int row) const
{
    return isRow(row) ? rows_[row].job.get() : nullptr;
}

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
    added.job = std::move(job);
    rows_.push_back(std::move(added));
    const int row = rowCount() - 1;
    view_->rowsInserted(row, 1);
    return row;
}

void CJobList::removeRow(int row)
{
    if (!isRow(row))
        return;
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
