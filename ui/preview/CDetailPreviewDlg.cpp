#include "ui/preview/CDetailPreviewDlg.h"

#include "jobs/CPlotJob.h"
#include "jobs/JobPlot.h"
#include "ui/preview/PreviewPainting.h"
#include "ui_CDetailPreviewDlg.h"

#include "geometry/Truncate.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// The largest scale at which a span of `length` plot units fits into `room` pixels in both directions.
// A drawing with no width or no height fits by its other direction; one that is a single point is shown
// at one pixel per unit.
float fittingScale(float roomX, float roomY, float lengthX, float lengthY)
{
    const float scale = std::min(roomX / lengthX, roomY / lengthY);
    return std::isfinite(scale) && scale > 0 ? scale : 1.0f;
}

// One scroll step along an axis: the window [lo, hi] moves by d toward `action`, not beyond the drawing's
// [min, max], and is d wide afterwards.
bool stepView(int action, float d, float& lo, float& hi, float min, float max)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepSub:
        lo = std::max(lo - d, min);
        hi = lo + d;
        return true;
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderPageStepAdd:
        hi = std::min(hi + d, max);
        lo = hi - d;
        return true;
    default:
        return false;
    }
}

float stepPixels(int action)
{
    return action == QAbstractSlider::SliderPageStepSub || action == QAbstractSlider::SliderPageStepAdd
               ? 100.0f
               : 10.0f;
}

} // namespace

CDetailPreviewDlg::CDetailPreviewDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CDetailPreviewDlg>())
{
    ui_->setupUi(this);
    setFixedSize(size());
    rubberBand_ = new QRubberBand(QRubberBand::Rectangle, ui_->previewArea);
    ui_->previewArea->installEventFilter(this);
    ui_->previewArea->setMouseTracking(true);
    connect(ui_->zoomInButton, &QPushButton::clicked, this, &CDetailPreviewDlg::zoomIn);
    connect(ui_->zoomOutButton, &QPushButton::clicked, this, &CDetailPreviewDlg::zoomOut);
    connect(ui_->fitButton, &QPushButton::clicked, this, [this] {
        fit();
        repaintPreview();
    });
    connect(ui_->mirrorButton, &QPushButton::clicked, this, &CDetailPreviewDlg::mirror);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->horizontalScrollBar, &QScrollBar::actionTriggered, this,
            &CDetailPreviewDlg::scrollHorizontally);
    connect(ui_->verticalScrollBar, &QScrollBar::actionTriggered, this, &CDetailPreviewDlg::scrollVertically);
}

CDetailPreviewDlg::~CDetailPreviewDlg() = default;

QWidget* CDetailPreviewDlg::previewArea() const { return ui_->previewArea; }

void CDetailPreviewDlg::setJob(CPlotJob& job)
{
    setWindowTitle(QStringLiteral("Doc Information  ") + QString::fromLocal8Bit(job.path));
    plot_.reset();
    dragging_ = false;
    if (loadJobPlot(job) != 0 || job.plot == nullptr)
        return;
    plot_ = job.plot->copy();
    if (plot_ == nullptr)
        return;
    turnUpsideDown(*plot_);
    initialiseView();
}

void CDetailPreviewDlg::initialiseView()
{
    bounds_ = plot_->extent;
    view_ = bounds_;
    ui_->horizontalScrollBar->setRange(truncToInt(view_.left), truncToInt(view_.right));
    ui_->verticalScrollBar->setRange(truncToInt(view_.top), truncToInt(view_.bottom));
    fit();
    repaintPreview();
}

float CDetailPreviewDlg::fitWidth() const { return float(std::max(ui_->previewArea->width() - 10, 1)); }

float CDetailPreviewDlg::fitHeight() const { return float(std::max(ui_->previewArea->height() - 10, 1)); }

void CDetailPreviewDlg::fit()
{
    view_.left = bounds_.left;
    view_.top = bounds_.top;
    scale_ =
        fittingScale(fitWidth(), fitHeight(), bounds_.right - bounds_.left, bounds_.bottom - bounds_.top);
}

void CDetailPreviewDlg::zoomIn() { setZoom(scale_ * 2); }

void CDetailPreviewDlg::zoomOut() { setZoom(float(double(scale_) * 0.6666666666666666)); }

void CDetailPreviewDlg::setZoom(float scale)
{
    // Zooming so far that pixels per unit would no longer be a number is refused.
    if (std::isfinite(scale) && scale > 0)
        scale_ = scale;
    repaintPreview();
}

void CDetailPreviewDlg::mirror()
{
    if (plot_ == nullptr)
        return;
    turnUpsideDown(*plot_);
    initialiseView();
}

void CDetailPreviewDlg::repaintPreview()
{
    ui_->previewArea->update();
    ui_->horizontalScrollBar->setSliderPosition(truncToInt(view_.left));
    ui_->verticalScrollBar->setSliderPosition(truncToInt(view_.top));
}

// Only the line and page steps move the view; dragging or placing the thumb is undone at once.
void CDetailPreviewDlg::scrollHorizontally(int action)
{
    const float d = stepPixels(action) / scale_;
    if (stepView(action, d, view_.left, view_.right, bounds_.left, bounds_.right))
        ui_->previewArea->update();
    ui_->horizontalScrollBar->setSliderPosition(truncToInt(view_.left));
}

void CDetailPreviewDlg::scrollVertically(int action)
{
    const float d = stepPixels(action) / scale_;
    if (stepView(action, d, view_.top, view_.bottom, bounds_.top, bounds_.bottom))
        ui_->previewArea->update();
    ui_->verticalScrollBar->setSliderPosition(truncToInt(view_.top));
}

bool CDetailPreviewDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ui_->previewArea)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(ui_->previewArea);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        paintPreview(painter, ui_->previewArea->rect(), plot_.get(), view_.left, view_.top, scale_);
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            startDrag(mouse->position().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (dragging_)
            moveDrag(at);
        else
            showPointerPosition(at);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && dragging_)
            finishDrag();
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void CDetailPreviewDlg::startDrag(QPoint at)
{
    const QWidget* area = ui_->previewArea;
    if (at.x() < 0 || at.y() < 0 || at.x() > area->width() || at.y() > area->height())
        return;
    dragging_ = true;
    dragStart_ = at;
    dragEnd_ = at;
    rubberBand_->setGeometry(QRect(at, at).normalized());
    rubberBand_->show();
}

void CDetailPreviewDlg::moveDrag(QPoint to)
{
    dragEnd_ = to;
    rubberBand_->setGeometry(QRect(dragStart_, dragEnd_).normalized());
}

void CDetailPreviewDlg::finishDrag()
{
    rubberBand_->hide();
    dragging_ = false;
    const int x0 = std::min(dragStart_.x(), dragEnd_.x());
    const int x1 = std::max(dragStart_.x(), dragEnd_.x());
    const int y0 = std::min(dragStart_.y(), dragEnd_.y());
    const int y1 = std::max(dragStart_.y(), dragEnd_.y());
    // A click without dragging spans nothing to zoom to: the view stays as it was.
    if (x0 == x1 || y0 == y1)
        return;
    const float g = 1 / scale_;
    view_.right = view_.left + float(x1) * g;
    view_.left = view_.left + float(x0) * g;
    view_.bottom = view_.top + float(y1) * g;
    view_.top = view_.top + float(y0) * g;
    scale_ = fittingScale(fitWidth(), fitHeight(), view_.right - view_.left, view_.bottom - view_.top);
    repaintPreview();
}

void CDetailPreviewDlg::showPointerPosition(QPoint at)
{
    if (at.x() < 0 || at.y() < 0)
        return;
    // y counts plot units down from the area's top, without the view's top edge.
    const int x = truncToInt(float(at.x()) / scale_ + view_.left);
    const int y = truncToInt(float(at.y()) / scale_);
    ui_->positionLabel->setText(tr("位置:%1,%2").arg(x).arg(y));
}
