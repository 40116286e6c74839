#pragma once

#include "geometry/Rect.h"
#include "plotdata/CPlot.h"

#include <QDialog>

#include <memory>

struct CPlotJob;
class QRubberBand;
class QScrollBar;
class QWheelEvent;

namespace Ui {
class CDetailPreviewDlg;
}

// The detail preview of one job: a private copy of the job's drawing, up in the plot up on the screen,
// which the user fits, zooms, scrolls, zooms to a dragged rectangle and flips. Nothing done here changes
// the job.
class CDetailPreviewDlg : public QDialog {
    Q_OBJECT

public:
    explicit CDetailPreviewDlg(QWidget* parent = nullptr);
    ~CDetailPreviewDlg() override;

    // Loads the job's drawing if it has none yet and shows a copy of it fitted into the area. A job whose
    // drawing cannot be loaded leaves the area empty.
    void setJob(CPlotJob& job);

    const CPlot* plot() const { return plot_.get(); }
    // The view window in plot units: left, top, right, bottom; right and bottom are where the area's room
    // ends at the current scale.
    const FRect& view() const { return view_; }
    float scale() const { return scale_; }
    QWidget* previewArea() const;

    // Shows the whole drawing from its top-left corner ("[ A ]").
    void fit();
    // Doubles the scale ("+"), or takes two thirds of it ("-"), keeping the view's top-left corner.
    void zoomIn();
    void zoomOut();
    // Turns the copy upside down and fits it again; the job's own drawing is not touched.
    void mirror();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void initialiseView();
    void repaintPreview();
    void setZoom(float scale);
    // The bars' values, in pixels of the drawing from its edges, move the view.
    void scrollHorizontally(int value);
    void scrollVertically(int value);
    void syncScrollBar(QScrollBar* bar, float edge, float boundsMin, float boundsMax, float room) const;
    void turnWheel(const QWheelEvent& wheel);
    // Zooms to the scale keeping the plot point under the pixel of the area where it is.
    void zoomAbout(QPointF pixel, float scale);
    void startDrag(QPoint at);
    void moveDrag(QPoint to);
    void finishDrag();
    void showPointerPosition(QPoint at);
    // The area's size less the margin of five pixels on each side.
    float fitWidth() const;
    float fitHeight() const;

    std::unique_ptr<Ui::CDetailPreviewDlg> ui_;
    std::unique_ptr<CPlot> plot_;
    FRect view_;
    // The drawing's extent when the view was initialised.
    FRect bounds_;
    float scale_ = 1.0f;
    QPoint dragStart_;
    QPoint dragEnd_;
    bool dragging_ = false;
    bool shownOnce_ = false;
    QRubberBand* rubberBand_;
};
