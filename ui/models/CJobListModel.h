#pragma once

#include "jobs/CJobListView.h"

#include <QAbstractTableModel>

#include <vector>

class CJobList;
struct ServerSettings;

// The item model of a job list: the list keeps the rows and records, this adapter only tells Qt's views
// about them. It is the list's CJobListView, so every insert, removal and change reaches the views.
class CJobListModel : public QAbstractTableModel, public CJobListView {
    Q_OBJECT
public:
    struct Column {
        int titleId; // string id of the column title
        int width;   // pixels, as designed; the view fits the columns to its texts and width instead
    };

    // The automatic list's five columns and the manual list's one.
    static std::vector<Column> automaticColumns();
    static std::vector<Column> manualColumns();

    CJobListModel(CJobList& list, const ServerSettings& settings, std::vector<Column> columns,
                  QObject* parent = nullptr);
    ~CJobListModel() override;

    CJobList& list() const { return list_; }
    const std::vector<Column>& columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The text a cell shows: the path, or for the automatic list the texts of its columns.
    QString cellText(int row, int column) const;
    // Texts as wide as the widest the column shows as a rule, so that a column as wide shows them whole:
    // lengths of five figures, copies of two, and the states with a copy's progress over four-figure
    // lengths. None for the path, which is shortened to its room; a failure's longer text may be too.
    QStringList usualTexts(int column) const;

    void rowsAboutToBeInserted(int first, int count) override;
    void rowsInserted(int first, int count) override;
    void rowsAboutToBeRemoved(int first, int count) override;
    void rowsRemoved(int first, int count) override;
    void rowChanged(int row) override;
    void selectionChanged(int row) override;
    void progressText(int row, const std::string& text) override;
    void statusText(const std::string& text) override;
    void copyProgress(int row, const CopyProgress& progress) override;
    void mediaShort(int row) override;
    void bringToTop() override;
    void beep() override;
    void postCommand(int id) override;

signals:
    // The list selected a row itself (the run selects the running row).
    void rowSelected(int row);
    // The running row's progress changed in the middle of a copy: repaint it now.
    void progressChanged(int row);
    void statusTextChanged(const QString& text);
    // How far the copy in output is; sent once more, not running, when it is over.
    void copyProgressChanged(const CopyProgress& progress);
    // The row's job is longer than the media left on the roll.
    void mediaRanShort(int row);
    void bringToTopRequested();
    // A command posted by the list, delivered after the current event returns.
    void commandPosted(int id);

private:
    CJobList& list_;
    const ServerSettings& settings_;
    std::vector<Column> columns_;
};
