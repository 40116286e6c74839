#include "ui/preview/CPlotInfoView.h"

#include "jobs/CPlotJob.h"
#include "jobs/JobTexts.h"
#include "output/PlotTimeMeter.h"
#include "output/ServerSettings.h"

#include <QCheckBox>
#include <QEvent>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>
#include <limits>

namespace {

constexpr double MILLIMETRES_PER_INCH = 25.4;

QLineEdit* addEdit(QGridLayout* grid, int row, int column, const QString& label)
{
    auto* edit = new QLineEdit;
    edit->setMaximumWidth(90);
    grid->addWidget(new QLabel(label), row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

// The leading signed integer of a text, as the form reads numbers: "12mm" is 12, "abc" and "" are 0.
std::int64_t leadingInteger(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() && (trimmed[end] == u'-' || trimmed[end] == u'+'))
        ++end;
    while (end < trimmed.size() && trimmed[end].isDigit() && trimmed[end].unicode() < 128)
        ++end;
    bool ok = false;
    const qlonglong value = trimmed.left(end).toLongLong(&ok);
    return ok ? value : 0;
}

// Lengths are never negative, and a typed length beyond the field's range is held at its limit.
std::uint32_t toLength(double millimetres)
{
    if (!(millimetres > 0))
        return 0;
    if (millimetres >= std::numeric_limits<std::uint32_t>::max())
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(millimetres);
}

} // namespace

CPlotInfoView::CPlotInfoView(const ServerSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings)
{
    auto* sizeBox = new QGroupBox(tr("文件尺寸"));
    auto* sizeGrid = new QGridLayout(sizeBox);
    fileName_ = new QLabel;
    fileName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    width_ = new QLabel;
    length_ = new QLabel;
    time_ = new QLabel;
    sizeGrid->addWidget(new QLabel(tr("文件名:")), 0, 0);
    sizeGrid->addWidget(fileName_, 0, 1, 1, 3);
    sizeGrid->addWidget(new QLabel(tr("宽:")), 1, 0);
    sizeGrid->addWidget(width_, 1, 1);
    sizeGrid->addWidget(new QLabel(tr("长:")), 1, 2);
    sizeGrid->addWidget(length_, 1, 3);
    // The estimated plotting time, beside the size.
    sizeGrid->addWidget(new QLabel(tr("时间:")), 2, 0);
    sizeGrid->addWidget(time_, 2, 1, 1, 3);
    sizeGrid->setColumnStretch(1, 1);
    sizeGrid->setColumnStretch(3, 1);

    auto* settingsBox = new QGroupBox(tr("绘图设定"));
    auto* grid = new QGridLayout(settingsBox);
    startOffset_ = addEdit(grid, 0, 0, tr("绘图起始:"));
    sectionLength_ = addEdit(grid, 0, 2, tr("分段长度:"));
    overlap_ = addEdit(grid, 1, 0, tr("重叠长度:"));
    sectionLimit_ = addEdit(grid, 1, 2, tr("绘制段数:"));
    rotate_ = new QCheckBox(tr("旋转后输出"));
    mirror_ = new QCheckBox(tr("镜像"));
    grid->addWidget(rotate_, 0, 4);
    grid->addWidget(mirror_, 1, 4);

    // The start and the overlap take digits only; in inches also the decimal point.
    const QString digits = settings_.unit == 1 ? QStringLiteral("[0-9.]*") : QStringLiteral("[0-9]*");
    for (QLineEdit* edit : {startOffset_, overlap_})
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(digits), edit));
    for (QLineEdit* edit : {startOffset_, sectionLength_, overlap_, sectionLimit_})
        edit->installEventFilter(this);
    connect(rotate_, &QCheckBox::clicked, this,
            [this](bool on) { toggleOption(CPlotJob::OPTION_ROTATE, on); });
    connect(mirror_, &QCheckBox::clicked, this,
            [this](bool on) { toggleOption(CPlotJob::OPTION_MIRROR, on); });

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(sizeBox, 3);
    layout->addWidget(settingsBox, 4);
    ShowJob(nullptr);
}

QString CPlotInfoView::fileNameText() const { return fileName_->text(); }

QString CPlotInfoView::lengthText(std::int64_t millimetres) const
{
    if (settings_.unit == 1)
        return QString::fromStdString(inchesNumber(static_cast<double>(millimetres)));
    return QString::number(millimetres);
}

void CPlotInfoView::ShowJob(CPlotJob* job)
{
    job_ = job;
    awaited_ = 0;
    if (job == nullptr) {
        fileName_->setText(QStringLiteral("Unknow"));
        const QString unknown = QStringLiteral("???");
        for (QLabel* label : {width_, length_, time_})
            label->setText(unknown);
        for (QLineEdit* edit : {startOffset_, sectionLength_, overlap_, sectionLimit_})
            edit->setText(unknown);
        rotate_->setChecked(false);
        mirror_->setChecked(false);
        return;
    }
    fileName_->setText(QString::fromUtf8(job->path));
    width_->setText(lengthText(job->width));
    length_->setText(lengthText(job->length));
    startOffset_->setText(lengthText(job->startOffset));
    sectionLength_->setText(lengthText(job->sectionLength));
    overlap_->setText(lengthText(job->overlap));
    sectionLimit_->setText(QString::number(static_cast<std::int32_t>(job->sectionLimit)));
    rotate_->setChecked((job->options & CPlotJob::OPTION_ROTATE) != 0);
    mirror_->setChecked((job->options & CPlotJob::OPTION_MIRROR) != 0);
    showTime();
}

QString CPlotInfoView::timeText() const { return time_->text(); }

void CPlotInfoView::showTime()
{
    awaited_ = 0;
    if (job_ == nullptr || !estimator_) {
        showEstimate({});
        return;
    }
    const EstimateRequest request = estimator_(*job_);
    if (!request.pending) {
        showEstimate(request.held);
        return;
    }
    time_->setText(tr("正在估算..."));
    // A job is shown several times as it is selected: the estimate already being made for it from the
    // same content and settings is waited for, not made again.
    const std::string& key = request.pending->key();
    if (inFlight_ != 0 && inFlightJob_ == job_ && !key.empty() && key == inFlightKey_) {
        awaited_ = inFlight_;
        return;
    }
    // The request holds copies of everything the estimate is made from; the job, the settings and the
    // device stay with this thread. What comes back is kept and shown only while it is awaited, so a
    // result for a job that has gone since never touches it.
    const std::uint64_t id = ++started_;
    awaited_ = id;
    inFlight_ = id;
    inFlightJob_ = job_;
    inFlightKey_ = key;
    auto* watcher = new QFutureWatcher<CopyEstimate>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, pending = request.pending, id] {
        watcher->deleteLater();
        if (inFlight_ == id) {
            inFlight_ = 0;
            inFlightJob_ = nullptr;
            inFlightKey_.clear();
        }
        if (awaited_ != id || job_ == nullptr)
            return;
        awaited_ = 0;
        const CopyEstimate made = watcher->result();
        keepEstimate(*job_, *pending, made);
        showEstimate(made);
    });
    watcher->setFuture(QtConcurrent::run([pending = request.pending] { return pending->run(); }));
}

void CPlotInfoView::showEstimate(const CopyEstimate& copy)
{
    if (!copy.valid) {
        time_->setText(QStringLiteral("???"));
        return;
    }
    const QString perCopy = QString::fromStdString(plotTimeText(copy.seconds));
    const int copies = copiesToPlot(*job_);
    if (copies <= 1) {
        time_->setText(perCopy);
        return;
    }
    time_->setText(tr("每份 %1, %2 份共 %3")
                       .arg(perCopy)
                       .arg(copies)
                       .arg(QString::fromStdString(plotTimeText(jobSeconds(*job_, copy)))));
}

std::uint32_t CPlotInfoView::typedLength(const QString& text) const
{
    if (settings_.unit == 1)
        return toLength(std::trunc(text.trimmed().toDouble() * MILLIMETRES_PER_INCH));
    return toLength(static_cast<double>(leadingInteger(text)));
}

void CPlotInfoView::storeEdit(QLineEdit* edit)
{
    if (job_ == nullptr)
        return;
    // The field then shows what was stored, so that it never shows a value that is not in effect.
    if (edit == startOffset_) {
        job_->startOffset = typedLength(edit->text());
        edit->setText(lengthText(job_->startOffset));
    } else if (edit == sectionLength_) {
        job_->sectionLength = typedLength(edit->text());
        edit->setText(lengthText(job_->sectionLength));
    } else if (edit == overlap_) {
        job_->overlap = typedLength(edit->text());
        edit->setText(lengthText(job_->overlap));
    } else if (edit == sectionLimit_) {
        job_->sectionLimit = toLength(static_cast<double>(leadingInteger(edit->text())));
        edit->setText(QString::number(static_cast<std::int32_t>(job_->sectionLimit)));
    }
    showTime();
    emit jobEdited(job_);
}

void CPlotInfoView::toggleOption(std::uint16_t option, bool on)
{
    if (job_ == nullptr)
        return;
    job_->options = on ? (job_->options | option) : (job_->options & ~option);
    showTime();
    emit jobEdited(job_);
}

bool CPlotInfoView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        storeEdit(qobject_cast<QLineEdit*>(watched));
    return QWidget::eventFilter(watched, event);
}
