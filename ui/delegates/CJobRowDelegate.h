#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

#include <array>

class CAutoJobList;
class CJobListModel;

// Draws the rows of the automatic list: the run-mode icon on the running row, the state, half-cut and feed
// icons, the path after them, and the texts of the other columns, each shortened with "..." to its room.
class CJobRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CJobRowDelegate(const CAutoJobList& list, const CJobListModel& model, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The 13 list icons by index (run modes, states, half cut, feed).
    static QIcon listIcon(int index);

private:
    void drawIcon(QPainter* painter, const QRect& cell, int left, int index) const;

    const CAutoJobList& list_;
    const CJobListModel& model_;
};
