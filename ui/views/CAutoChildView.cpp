#include "ui/views/CAutoChildView.h"

#include "jobs/CAutoJobList.h"
#include "ui/delegates/CJobRowDelegate.h"
#include "ui/delegates/RowLayout.h"
#include "ui/models/CJobListModel.h"

#include <QMouseEvent>

CAutoChildView::CAutoChildView(CAutoJobList& list, CJobListModel& model, QWidget* parent)
    : CJobListWidget(model, parent), list_(list)
{
    setItemDelegate(new CJobRowDelegate(list, model, this));
    connect(&model, &CJobListModel::progressChanged, this, [this](int row) {
        // The copy is in the middle of a write: paint the progress now, not when the loop comes back.
        viewport()->repaint(visualRect(this->model().index(row, CAutoJobList::COLUMN_STATE)));
    });
}

int CAutoChildView::labelLeft(int row) const
{
    return visualRect(model().index(row, 0)).left() + rowlayout::LABEL_LEFT;
}

bool CAutoChildView::isOnToggle(const QPoint& point) const
{
    const int row = indexAt(point).row();
    return row >= 0 && point.x() > rowlayout::ICON_STATE && point.x() < labelLeft(row) + 48;
}

void CAutoChildView::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = indexAt(point).row();
    if (event->button() == Qt::LeftButton && row >= 0 && isOnToggle(point)) {
        emit viewActivated(this);
        if (list_.pressAt(row, point.x(), labelLeft(row))) {
            event->accept();
            return;
        }
    }
    CJobListWidget::mousePressEvent(event);
}

void CAutoChildView::refreshRow(int row) { list_.refreshRow(row); }
