#include "ui/delegates/CJobRowDelegate.h"

#include "jobs/CAutoJobList.h"
#include "ui/delegates/RowLayout.h"
#include "ui/models/CJobListModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

using namespace rowlayout;

CJobRowDelegate::CJobRowDelegate(const CAutoJobList& list, const CJobListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), list_(list), model_(model)
{
}

QIcon CJobRowDelegate::listIcon(int index)
{
    static const std::array<QIcon, LIST_ICON_COUNT> icons = [] {
        std::array<QIcon, LIST_ICON_COUNT> loaded;
        for (int i = 0; i < LIST_ICON_COUNT; ++i)
            loaded[i] = QIcon(QStringLiteral(":/icons/list/%1.svg").arg(i));
        return loaded;
    }();
    return index >= 0 && index < LIST_ICON_COUNT ? icons[index] : QIcon();
}

void CJobRowDelegate::drawIcon(QPainter* painter, const QRect& cell, int left, int index) const
{
    const QRect place(cell.left() + left, cell.top() + (cell.height() - ICON_SIZE) / 2, ICON_SIZE, ICON_SIZE);
    listIcon(index).paint(painter, place);
}

void CJobRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const int row = index.row();
    const CPlotJob* job = list_.jobAt(row);
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool focused = view != nullptr && view->hasFocus();
    const bool selected = (option.state & QStyle::State_Selected) != 0;

    painter->save();
    const QPalette& palette = option.palette;
    const QPalette::ColorGroup group = focused ? QPalette::Active : QPalette::Inactive;
    painter->fillRect(option.rect, selected ? palette.brush(group, QPalette::Highlight) : palette.base());
    painter->setPen(selected ? palette.color(group, QPalette::HighlightedText)
                             : palette.color(QPalette::Text));
    painter->setFont(option.font);

    // A row whose record was released is left empty.
    if (job != nullptr) {
        const auto widthOf = [&option](const QString& text) {
            return option.fontMetrics.horizontalAdvance(text);
        };
        const QString text = model_.cellText(row, index.column());
        QRect textRect;
        if (index.column() == 0) {
            if (row == list_.runningJob())
                drawIcon(painter, option.rect, ICON_RUN_MODE, list_.runMode());
            drawIcon(painter, option.rect, ICON_STATE, stateIconIndex(*job));
            drawIcon(painter, option.rect, ICON_HALF_CUT, halfCutIconIndex(*job));
            drawIcon(painter, option.rect, ICON_AUTO_FEED, autoFeedIconIndex(*job));
            textRect = option.rect.adjusted(LABEL_LEFT + PATH_INDENT, 0, 0, 0);
        } else {
            textRect = option.rect.adjusted(TEXT_MARGIN, 0, -TEXT_MARGIN, 0);
        }
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          shortenedText(text, textRect.width(), widthOf));
    }

    // The focus rectangle goes round the whole row: each cell draws its part of it.
    if ((option.state & QStyle::State_HasFocus) != 0 ||
        (view && view->currentIndex().row() == row && focused)) {
        QPen pen(painter->pen().color(), 1, Qt::DotLine);
        painter->setPen(pen);
        const QRect r = option.rect.adjusted(0, 0, -1, -1);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        if (index.column() == 0)
            painter->drawLine(r.topLeft(), r.bottomLeft());
        if (index.column() == model_.columnCount() - 1)
            painter->drawLine(r.topRight(), r.bottomRight());
    }
    painter->restore();
}

QSize CJobRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), ICON_SIZE + 2));
    return size;
}
