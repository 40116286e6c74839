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
#include <QShowEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
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

// The plot units a scroll bar value of pixels stands for, and the view's edge for it. A value of 0 is the
// drawing's edge.
float edgeFor(int value, float boundsMin, float scale) { return boundsMin + float(value) / scale; }

// How far the wheel turned, in notches of 15 degrees.
double notches(int angleDelta) { return angleDelta / 120.0; }

constexpr double WHEEL_ZOOM_PER_NOTCH = 1.25;
constexpr int WHEEL_STEPS_PER_NOTCH = 3;

} // namespace

CDetailPreviewDlg::CDetailPreviewDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CDetailPreviewDlg>())
{
    ui_->setupUi(this);
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
    // The bars count pixels of the drawing at the current scale; steps, the thumb and the wheel all move
    // the view through the bar's value.
    connect(ui_->horizontalScrollBar, &QScrollBar::valueChanged, this,
            &CDetailPreviewDlg::scrollHorizontally);
    connect(ui_->verticalScrollBar, &QScrollBar::valueChanged, this, &CDetailPreviewDlg::scrollVertically);
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
    view_.right = view_.left + fitWidth() / scale_;
    view_.bottom = view_.top + fitHeight() / scale_;
    syncScrollBar(ui_->horizontalScrollBar, view_.left, bounds_.left, bounds_.right, fitWidth());
    syncScrollBar(ui_->verticalScrollBar, view_.top, bounds_.top, bounds_.bottom, fitHeight());
    ui_->previewArea->update();
}

// A bar's range covers the drawing in pixels at the current scale, less the room the area shows; its page
// is that room and its line step a tenth of it.
void CDetailPreviewDlg::syncScrollBar(QScrollBar* bar, float edge, float boundsMin, float boundsMax,
                                      float room) const
{
    const QSignalBlocker blocker(bar);
    const double extent = std::max(0.0, double(boundsMax - boundsMin) * scale_ - room);
    // A drawing less than half a pixel wider than the room has nothing to scroll.
    const int maximum = extent < INT_MAX ? int(std::lround(extent)) : INT_MAX;
    bar->setRange(0, maximum);
    bar->setPageStep(std::max(1, int(room)));
    bar->setSingleStep(std::max(1, int(room / 10)));
    const double value = double(edge - boundsMin) * scale_;
    bar->setValue(value < 0 ? 0 : value > maximum ? maximum : int(std::lround(value)));
}

void CDetailPreviewDlg::scrollHorizontally(int value)
{
    view_.left = edgeFor(value, bounds_.left, scale_);
    view_.right = view_.left + fitWidth() / scale_;
    ui_->previewArea->update();
}

void CDetailPreviewDlg::scrollVertically(int value)
{
    view_.top = edgeFor(value, bounds_.top, scale_);
    view_.bottom = view_.top + fitHeight() / scale_;
    ui_->previewArea->update();
}

// The wheel scrolls up and down (with Shift, or a sideways wheel, left and right); with Ctrl it zooms,
// keeping the point under the pointer where it is.
void CDetailPreviewDlg::turnWheel(const QWheelEvent& wheel)
{
    const QPoint delta = wheel.angleDelta();
    if (wheel.modifiers() & Qt::ControlModifier) {
        const double factor = std::pow(WHEEL_ZOOM_PER_NOTCH, notches(delta.y() != 0 ? delta.y() : delta.x()));
        zoomAbout(wheel.position(), float(double(scale_) * factor));
        return;
    }
    const bool sideways = delta.x() != 0 || (wheel.modifiers() & Qt::ShiftModifier);
    QScrollBar* bar = sideways ? ui_->horizontalScrollBar : ui_->verticalScrollBar;
    const int turned = delta.x() != 0 ? delta.x() : delta.y();
    bar->setValue(bar->value() - int(notches(turned) * WHEEL_STEPS_PER_NOTCH * bar->singleStep()));
}

void CDetailPreviewDlg::zoomAbout(QPointF pixel, float scale)
{
    if (plot_ == nullptr || !std::isfinite(scale) || scale <= 0)
        return;
    // The plot point under the pointer: pixel = (x - view left + 1) * scale + 5.
    const float x = float(pixel.x() - 5) / scale_ + view_.left - 1;
    const float y = float(pixel.y() - 5) / scale_ + view_.top - 1;
    scale_ = scale;
    view_.left = x + 1 - float(pixel.x() - 5) / scale_;
    view_.top = y + 1 - float(pixel.y() - 5) / scale_;
    repaintPreview();
}

void CDetailPreviewDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The area has its final size only now that the dialog is laid out: fit the drawing into it.
    if (!shownOnce_ && plot_ != nullptr) {
        fit();
        repaintPreview();
    }
    shownOnce_ = true;
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
    case QEvent::Wheel:
        turnWheel(*static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::Resize:
        // A larger dialog shows more of the drawing at the same scale.
        repaintPreview();
        return false;
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
