#pragma once

#include <QTableView>

#include <chrono>
#include <functional>
#include <optional>

class QTimer;
class CJobList;
class CJobListModel;
struct CPlotJob;

// What both list views share: a report of rows with single selection over a job-list model, kept in step
// with the list's own selection, whose path column takes the width its other columns leave; a click shows
// the job in the information view and measures it the first time; a double click opens the detail
// preview; a timer rescans the receive folder every 10 seconds, and once more when a file a scan held
// back, as it may still have been being written, would have settled.
class CJobListWidget : public QTableView {
    Q_OBJECT
public:
    static constexpr int RECEIVE_PERIOD_MS = 10000;
    // The rescan for a file held back comes this long after the file would settle.
    static constexpr std::chrono::milliseconds SETTLE_MARGIN{20};
    // Pixels a fitted column has beyond its widest text, so that the texts do not touch the next column.
    static constexpr int FIT_SLACK = 4;
    // Scans the receive folder; returns how long until a file it held back would settle, if one is held.
    using ReceiveScan = std::function<std::optional<std::chrono::steady_clock::duration>()>;

    CJobListWidget(CJobListModel& model, QWidget* parent = nullptr);

    CJobListModel& model() const { return model_; }
    // The timer that rescans the receive folder, running from the view's first showing.
    int receiveTimerId() const { return receiveTimer_; }
    // The single-shot timer of the rescan for a file held back, running while one is held back.
    QTimer* settleTimer() const { return settleTimer_; }
    CJobList& list() const;

    // Scans the receive folder; the automatic list then goes on with the automatic sequence.
    void setReceiveScan(ReceiveScan scan) { scan_ = std::move(scan); }
    // Opens the detail preview of a job, modally.
    void setDetailPreview(std::function<void(CPlotJob&)> preview) { preview_ = std::move(preview); }

    // A click on the row: the job is shown and, not yet measured, measured and shown again.
    void clickRow(int row);
    // A double click on the row: the job is shown and measured, the detail preview opens, and a finished
    // job's plot is released when it closes.
    void doubleClickRow(int row);

signals:
    // The job to show in the information view, or null.
    void jobShown(CPlotJob* job);
    // Plot files were dropped onto the list: their local paths.
    void filesDropped(const QStringList& paths);
    // The context menu was asked for on the row (-1 below the rows), at the global position.
    void rowMenuRequested(int row, const QPoint& globalPosition);
    // The view became the active one (it took the focus or a click).
    void viewActivated(CJobListWidget* view);

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    virtual void refreshRow(int row);

private:
    void followListSelection(int row);
    void scanReceiveFolder();
    void fitColumns();
    // The width that shows the column's title and usual texts whole.
    int fittingWidth(int column) const;
    void measureAndShow(int row);

    CJobListModel& model_;
    ReceiveScan scan_;
    std::function<void(CPlotJob&)> preview_;
    int receiveTimer_ = 0;
    QTimer* settleTimer_;
    bool shownOnce_ = false;
};
