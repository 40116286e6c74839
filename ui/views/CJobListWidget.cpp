#include "ui/views/CJobListWidget.h"

#include "jobs/CJobList.h"
#include "jobs/JobPlot.h"
#include "platform/Hooks.h"
#include "ui/delegates/RowLayout.h"
#include "ui/models/CJobListModel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QTimerEvent>
#include <QUrl>

#include <algorithm>

namespace {

// A column header whose titles follow its text elide mode: a title wider than its column ends in an
// ellipsis instead of being cut off at the column's edge. The styles of Qt 6.4 draw header titles whole.
class ElidingHeader : public QHeaderView {
public:
    explicit ElidingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(true); // as the table's own header
        setTextElideMode(Qt::ElideRight);
    }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        // The title starts one margin into the column and may use the column's full width after it.
        const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, option, this);
        option->text =
            option->fontMetrics.elidedText(option->text, textElideMode(), sectionSize(logicalIndex) - margin);
    }
};

} // namespace

CJobListWidget::CJobListWidget(CJobListModel& model, QWidget* parent)
    : QTableView(parent), model_(model), settleTimer_(new QTimer(this))
{
    settleTimer_->setSingleShot(true);
    settleTimer_->setTimerType(Qt::PreciseTimer);
    connect(settleTimer_, &QTimer::timeout, this, &CJobListWidget::scanReceiveFolder);
    setHorizontalHeader(new ElidingHeader(this));
    setModel(&model_);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setShowGrid(false);
    setWordWrap(false);
    setEditTriggers(NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4 > 18 ? fontMetrics().height() + 4
                                                                            : 18);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    fitColumns();

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (list().selectedRow() != current.row())
                    list().select(current.row());
                // The information view follows the current row, moved by the keyboard as by the mouse.
                emit jobShown(list().jobAt(current.row()));
            });
    connect(&model_, &CJobListModel::rowSelected, this, &CJobListWidget::followListSelection);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { clickRow(index.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { doubleClickRow(index.row()); });

    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const int row = indexAt(at).row();
        if (row >= 0) {
            list().select(row);
            emit jobShown(list().jobAt(row));
        }
        emit viewActivated(this);
        emit rowMenuRequested(row, viewport()->mapToGlobal(at));
    });
}

namespace {

// The local files a drag carries; none when it carries anything else.
QStringList droppedFiles(const QMimeData* data)
{
    QStringList paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

void CJobListWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void CJobListWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void CJobListWidget::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

CJobList& CJobListWidget::list() const { return model_.list(); }

// The path column takes the room the others leave, so that the last one, the state, stays inside the view
// at any width that holds the others; a path is shortened to its room as ever. The other columns stay as
// the user drags them and start as wide as their titles and their usual texts need in the fonts in use.
void CJobListWidget::fitColumns()
{
    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < model_.columnCount(); ++column)
        setColumnWidth(column, fittingWidth(column));
}

int CJobListWidget::fittingWidth(int column) const
{
    const QHeaderView* header = horizontalHeader();
    // The style draws a title one header margin in from either side, the delegate a cell's text one text
    // margin in.
    QStyleOptionHeader option;
    option.initFrom(header);
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, &option, header);
    const QString title = model_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    int width = header->fontMetrics().horizontalAdvance(title) + 2 * margin;
    for (const QString& text : model_.usualTexts(column))
        width = std::max(width, fontMetrics().horizontalAdvance(text) + 2 * rowlayout::TEXT_MARGIN);
    return width + FIT_SLACK;
}

void CJobListWidget::followListSelection(int row)
{
    if (row < 0) {
        selectionModel()->clearSelection();
        return;
    }
    if (currentIndex().row() != row)
        selectionModel()->setCurrentIndex(model_.index(row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CJobListWidget::refreshRow(int row) { model_.rowChanged(row); }

void CJobListWidget::measureAndShow(int row)
{
    CPlotJob* job = list().jobAt(row);
    emit jobShown(job);
    if (job == nullptr || job->length != 0)
        return;
    bool measured = false;
    {
        platform::WaitCursor waitCursor;
        measured = measureJob(*job);
    }
    if (measured) {
        emit jobShown(job);
        refreshRow(row);
    }
}

void CJobListWidget::clickRow(int row)
{
    list().select(row);
    measureAndShow(row);
    CPlotJob* job = list().jobAt(row);
    if (job != nullptr && job->state == CPlotJob::STATE_FINISHED)
        job->plot.reset();
}

void CJobListWidget::doubleClickRow(int row)
{
    list().select(row);
    measureAndShow(row);
    CPlotJob* job = list().jobAt(row);
    if (job == nullptr)
        return;
    if (preview_)
        preview_(*job);
    // The preview may have run a copy through the message step; take the record again.
    job = list().jobAt(row);
    if (job != nullptr && job->state == CPlotJob::STATE_FINISHED)
        job->plot.reset();
}

void CJobListWidget::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    receiveTimer_ = startTimer(RECEIVE_PERIOD_MS);
    scanReceiveFolder();
}

void CJobListWidget::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == receiveTimer_) {
        scanReceiveFolder();
        return;
    }
    QTableView::timerEvent(event);
}

void CJobListWidget::scanReceiveFolder()
{
    if (!scan_)
        return;
    const std::optional<std::chrono::steady_clock::duration> untilSettled = scan_();
    // Only the file that settles first counts: the scan then says when the next one does.
    if (untilSettled)
        settleTimer_->start(std::chrono::ceil<std::chrono::milliseconds>(*untilSettled) + SETTLE_MARGIN);
    else
        settleTimer_->stop();
}

void CJobListWidget::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    emit viewActivated(this);
}

void CJobListWidget::mousePressEvent(QMouseEvent* event)
{
    emit viewActivated(this);
    QTableView::mousePressEvent(event);
}
