#include "ui/models/CJobListModel.h"

#include "jobs/CAutoJobList.h"
#include "jobs/JobTexts.h"
#include "jobs/RunTexts.h"
#include "output/ServerSettings.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <QApplication>

std::vector<CJobListModel::Column> CJobListModel::automaticColumns()
{
    return {{strings::IDS_COLUMN_AUTOMATIC, 250},
            {strings::IDS_COLUMN_LENGTH, 100},
            {strings::IDS_COLUMN_SECTION, 40},
            {strings::IDS_COLUMN_COPIES, 40},
            {strings::IDS_COLUMN_STATE, 200}};
}

std::vector<CJobListModel::Column> CJobListModel::manualColumns()
{
    return {{strings::IDS_COLUMN_MANUAL, 300}};
}

CJobListModel::CJobListModel(CJobList& list, const ServerSettings& settings, std::vector<Column> columns,
                             QObject* parent)
    : QAbstractTableModel(parent), list_(list), settings_(settings), columns_(std::move(columns))
{
    list_.setView(this);
}

CJobListModel::~CJobListModel() { list_.setView(nullptr); }

int CJobListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list_.rowCount();
}

int CJobListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString CJobListModel::cellText(int row, int column) const
{
    if (column == 0)
        return QString::fromStdString(list_.itemText(row, 0));
    const CPlotJob* job = list_.jobAt(row);
    const auto* automatic = dynamic_cast<const CAutoJobList*>(&list_);
    if (job == nullptr || automatic == nullptr)
        return {};
    const bool inches = settings_.unit == 1;
    switch (column) {
    case CAutoJobList::COLUMN_LENGTH:
        return QString::fromStdString(lengthText(job->length, inches));
    case CAutoJobList::COLUMN_SECTION:
        return QString::fromStdString(sectionText(job->sectionLength, inches));
    case CAutoJobList::COLUMN_COPIES:
        return QString::fromStdString(copiesText(*job));
    case CAutoJobList::COLUMN_STATE:
        return QString::fromStdString(automatic->stateColumnText(row));
    default:
        return {};
    }
}

QStringList CJobListModel::usualTexts(int column) const
{
    if (column <= 0 || column >= columnCount())
        return {};
    const bool inches = settings_.unit == 1;
    constexpr int LONG_MILLIMETRES = 99999;
    constexpr int LONG_PROGRESS = 9999;
    switch (columns_[column].titleId) {
    case strings::IDS_COLUMN_LENGTH:
        return {QString::fromStdString(lengthText(LONG_MILLIMETRES, inches))};
    case strings::IDS_COLUMN_SECTION:
        return {QString::fromStdString(sectionText(LONG_MILLIMETRES, inches))};
    case strings::IDS_COLUMN_COPIES:
        return {QStringLiteral("99/99")};
    case strings::IDS_COLUMN_STATE:
        return {QString::fromUtf8(strings::localString(strings::IDS_STATE_WAITING)),
                QString::fromUtf8(strings::localString(strings::IDS_STATE_STANDBY)),
                QString::fromUtf8(strings::localString(strings::IDS_STATE_FINISHED)),
                QString::fromStdString(::progressText(LONG_PROGRESS, LONG_PROGRESS))};
    default:
        return {};
    }
}

QVariant CJobListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return cellText(index.row(), index.column());
    return {};
}

QVariant CJobListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(strings::localString(columns_[section].titleId));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void CJobListModel::rowsAboutToBeInserted(int first, int count)
{
    beginInsertRows({}, first, first + count - 1);
}
void CJobListModel::rowsInserted(int, int) { endInsertRows(); }
void CJobListModel::rowsAboutToBeRemoved(int first, int count)
{
    beginRemoveRows({}, first, first + count - 1);
}
void CJobListModel::rowsRemoved(int, int) { endRemoveRows(); }

void CJobListModel::rowChanged(int row)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CJobListModel::selectionChanged(int row) { emit rowSelected(row); }

void CJobListModel::progressText(int row, const std::string&)
{
    rowChanged(row);
    emit progressChanged(row);
}

void CJobListModel::statusText(const std::string& text)
{
    emit statusTextChanged(QString::fromStdString(text));
}
void CJobListModel::copyProgress(int, const CopyProgress& progress) { emit copyProgressChanged(progress); }

void CJobListModel::bringToTop() { emit bringToTopRequested(); }
void CJobListModel::beep() { QApplication::beep(); }

void CJobListModel::postCommand(int id)
{
    QMetaObject::invokeMethod(
        this, [this, id] { emit commandPosted(id); }, Qt::QueuedConnection);
}

void CJobListModel::mediaShort(int row) { emit mediaRanShort(row); }
