#pragma once

#include "jobs/CJobListView.h"
#include "jobs/CPlotJob.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

struct ServerSettings;

// The rows of a job list: each row has its texts by column (column 0 is the job's path) and owns its job
// record, or none once the records have been released. At most one row is selected.
class CJobList {
public:
    static constexpr int COLUMNS = 5;

    explicit CJobList(const ServerSettings& settings);
    virtual ~CJobList() = default;
    CJobList(const CJobList&) = delete;
    CJobList& operator=(const CJobList&) = delete;

    // The view to notify; null stops the notifications.
    void setView(CJobListView* view);
    CJobListView& view() const { return *view_; }

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Whether a row's path names the same file as path: both resolved to the file system (a Windows path
    // through its drive folder), without regard to letter case.
    bool hasPath(std::string_view path) const;
    // The row's record, or null for a row without one or a row that does not exist.
    CPlotJob* jobAt(int row) const;
    // Empty for a row or column that does not exist.
    const std::string& itemText(int row, int column) const;

    int selectedRow() const { return selected_; }
    // Selects the row; a row that does not exist clears the selection.
    void select(int row);

    // Frees every record; the rows stay, without records. Done for both lists when the program closes.
    void releaseAll();

protected:
    const ServerSettings& settings() const { return settings_; }
    bool isRow(int row) const { return row >= 0 && row < rowCount(); }
    int appendRow(std::string_view path, std::unique_ptr<CPlotJob> job);
    // Frees the row's record (its plot first) and removes the row; the selection follows its row.
    void removeRow(int row);
    void setItemText(int row, int column, std::string text);

private:
    struct Row {
        std::array<std::string, COLUMNS> texts;
        // The path resolved and folded, as hasPath compares it.
        std::string key;
        std::unique_ptr<CPlotJob> job;
    };

    const ServerSettings& settings_;
    CJobListView* view_;
    std::vector<Row> rows_;
    // The rows' keys, so that a scan of a large folder does not compare every pair.
    std::unordered_set<std::string> jobKeys_;
    int selected_ = -1;
};
