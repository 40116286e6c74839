#include "ui/preview/CDetailPreviewDlg.h"

#include "jobs/CPlotJob.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>

namespace {

std::unique_ptr<CPlotPath> lineOf(float x1, float y1, float x2, float y2, int pen)
{
    auto path = CPlotPath::makeLine(x1, y1, x2, y2);
    path->pen = pen;
    return path;
}

// A job whose drawing, 1000 x 500 units, is loaded already: a red line along its top edge (y = 500), a
// blue one along its bottom edge and a black diagonal.
void loadFrame(CPlotJob& job)
{
    job.plot = std::make_unique<CPlot>();
    job.plot->add(lineOf(0, 500, 1000, 500, 12));
    job.plot->add(lineOf(0, 0, 1000, 0, 9));
    job.plot->add(lineOf(0, 0, 1000, 500, 0));
}

void sendMouse(QWidget* area, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), area->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &event);
}

void drag(QWidget* area, QPoint from, QPoint to)
{
    sendMouse(area, QEvent::MouseButtonPress, from);
    sendMouse(area, QEvent::MouseMove, to);
    sendMouse(area, QEvent::MouseButtonRelease, to);
}

QImage picture(const CDetailPreviewDlg& dialog) { return dialog.previewArea()->grab().toImage(); }

} // namespace

class CDetailPreviewDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        job_ = CPlotJob{};
        std::snprintf(job_.path, sizeof job_.path, "/plots/frame.plt");
        loadFrame(job_);
        dialog_ = std::make_unique<CDetailPreviewDlg>();
        dialog_->previewArea()->setFixedSize(380, 250);
        dialog_->setJob(job_);
    }

    void opensOnAnUpsideDownCopyFittedIntoTheAreaWhichMirrorTurns()
    {
        QCOMPARE(dialog_->windowTitle(), QString("Doc Information  /plots/frame.plt"));
        QCOMPARE(dialog_->scale(), 0.37f); // min(370 / 1000, 240 / 500)
        // The view ends where the area's room does: 240 pixels are 648.6 units down.
        QCOMPARE(dialog_->view(), (FRect{0, -500, 1000, -500 + 240 / 0.37f}));

        // Up in the plot is up on the screen: the top edge lands on row (0 + 1) * 0.37 + 5, the bottom
        // edge on row (500 + 1) * 0.37 + 5.
        const QImage first = picture(*dialog_);
        QCOMPARE(first.pixelColor(200, 5), QColor(Qt::red));
        QCOMPARE(first.pixelColor(200, 190), QColor(Qt::blue));
        QCOMPARE(first.pixelColor(200, 100), QColor(Qt::white));
        QCOMPARE(first.pixelColor(0, 0), QColor(Qt::black)); // the frame

        // Mirrored, the bottom edge is on top; mirrored again, the first picture is back. The job's own
        // drawing is never touched.
        dialog_->mirror();
        const QImage flipped = picture(*dialog_);
        QVERIFY(flipped != first);
        QCOMPARE(flipped.pixelColor(200, 5), QColor(Qt::blue));
        dialog_->mirror();
        QCOMPARE(picture(*dialog_), first);
        QCOMPARE(job_.plot->extent, (FRect{0, 0, 1000, 500}));
    }

    // The pointer's position counts plot units from the view's left edge and from the area's top.
    void zoomButtonsKeepTheTopLeftCornerAndThePointerShowsWhereItIs()
    {
        const float fitScale = dialog_->scale();
        dialog_->zoomIn();
        QCOMPARE(dialog_->scale(), fitScale * 2);
        sendMouse(dialog_->previewArea(), QEvent::MouseMove, QPoint(80, 40)); // 0.74 pixels per unit
        QCOMPARE(dialog_->findChild<QLabel*>("positionLabel")->text(), QString("位置:108,54"));
        dialog_->zoomOut();
        QVERIFY(qFuzzyCompare(dialog_->scale(), fitScale * 4 / 3));
        QCOMPARE(dialog_->view().left, 0.0f);
        QCOMPARE(dialog_->view().top, -500.0f);
        dialog_->fit();
        QCOMPARE(dialog_->scale(), fitScale);
    }

    // The bars count pixels of the drawing: a line step is a tenth of the area, the thumb moves the view,
    // the wheel scrolls, and Ctrl with the wheel zooms about the pointer.
    void scrollBarsStepByATenthFollowTheThumbAndTheWheelScrollsAndZooms()
    {
        auto* horizontal = dialog_->findChild<QScrollBar*>("horizontalScrollBar");
        auto* vertical = dialog_->findChild<QScrollBar*>("verticalScrollBar");
        // Fitted, the whole drawing is shown: nothing to scroll.
        QCOMPARE(horizontal->maximum(), 0);
        dialog_->zoomIn(); // 0.74 pixels per unit: 740 x 370 pixels in 370 x 240
        QCOMPARE(horizontal->maximum(), 370);
        QCOMPARE(horizontal->pageStep(), 370);
        QCOMPARE(vertical->maximum(), 130);

        // One line right moves a tenth of the area, 37 pixels, 50 units, not to the drawing's end.
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(horizontal->value(), 37);
        QVERIFY(qFuzzyCompare(dialog_->view().left, 50.0f));
        QVERIFY(qFuzzyCompare(dialog_->view().right, 550.0f));
        horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(horizontal->value(), 370);
        QVERIFY(qFuzzyCompare(dialog_->view().left, 500.0f));
        // The thumb dragged to the middle takes the view there.
        horizontal->setSliderDown(true);
        horizontal->setSliderPosition(185);
        horizontal->setSliderDown(false);
        QVERIFY(qFuzzyCompare(dialog_->view().left, 250.0f));

        // The wheel, one notch down, scrolls three line steps; with Shift it goes sideways.
        const auto wheel = [this](int delta, Qt::KeyboardModifiers modifiers, QPointF at) {
            QWheelEvent event(at, dialog_->previewArea()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(dialog_->previewArea(), &event);
        };
        wheel(-120, Qt::NoModifier, QPointF(100, 100));
        QCOMPARE(vertical->value(), 72);
        QVERIFY(qFuzzyCompare(dialog_->view().top, -500 + 72 / 0.74f));
        wheel(120, Qt::ShiftModifier, QPointF(100, 100));
        QCOMPARE(horizontal->value(), 185 - 3 * 37);

        // Ctrl and the wheel zoom by a quarter a notch; the point under the pointer stays put.
        const QPointF pointer(105, 85);
        const float scale = dialog_->scale();
        const float x = (105 - 5) / scale + dialog_->view().left;
        const float y = (85 - 5) / scale + dialog_->view().top;
        wheel(120, Qt::ControlModifier, pointer);
        QVERIFY(qFuzzyCompare(dialog_->scale(), scale * 1.25f));
        QVERIFY(qAbs((105 - 5) / dialog_->scale() + dialog_->view().left - x) < 0.01f);
        QVERIFY(qAbs((85 - 5) / dialog_->scale() + dialog_->view().top - y) < 0.01f);
    }

    // The dialog can be resized; a larger area shows more of the drawing at the same scale.
    void theDialogIsResizableAndItsAreaFollows()
    {
        CDetailPreviewDlg dialog;
        dialog.setJob(job_);
        dialog.resize(900, 700);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.minimumSize() != dialog.maximumSize());
        QVERIFY(dialog.previewArea()->width() > 800);
        const float scale = dialog.scale();
        QCOMPARE(scale, std::min((dialog.previewArea()->width() - 10) / 1000.0f,
                                 (dialog.previewArea()->height() - 10) / 500.0f));
        dialog.zoomIn();
        const float right = dialog.view().right;
        dialog.resize(1200, 700);
        QTRY_VERIFY(dialog.view().right > right);
        QCOMPARE(dialog.scale(), scale * 2);
    }

    void dragZoomsToTheRectangleAndAClickLeavesTheView()
    {
        QWidget* area = dialog_->previewArea();
        // A click, and drags with no height or no width, zoom to nothing.
        drag(area, QPoint(50, 50), QPoint(50, 50));
        drag(area, QPoint(50, 50), QPoint(120, 50));
        drag(area, QPoint(50, 50), QPoint(50, 90));
        QCOMPARE(dialog_->scale(), 0.37f);
        QCOMPARE(dialog_->view().left, 0.0f);

        // Dragged from bottom right to top left: 37 x 24 pixels, 100 x 64.9 units.
        drag(area, QPoint(74, 48), QPoint(37, 24));
        QVERIFY(qFuzzyCompare(dialog_->view().left, 100.0f));
        QVERIFY(qFuzzyCompare(dialog_->view().right, 200.0f));
        QVERIFY(qFuzzyCompare(dialog_->view().top, -500 + 24 / 0.37f));
        QVERIFY(qFuzzyCompare(dialog_->view().bottom, -500 + 48 / 0.37f));
        QVERIFY(qFuzzyCompare(dialog_->scale(), 3.7f));
        QVERIFY(dialog_->findChild<QRubberBand*>()->isHidden());
    }

    // A job that cannot be loaded leaves the area empty and every command harmless; a drawing that is a
    // single point is shown at one pixel per unit, even in an area smaller than its margins.
    void jobsWithNoDrawingOrNoExtentAreShownSafely()
    {
        CPlotJob missing;
        std::snprintf(missing.path, sizeof missing.path, "/nowhere/missing.plt");
        CDetailPreviewDlg dialog;
        dialog.setJob(missing);
        QVERIFY(dialog.plot() == nullptr);
        dialog.zoomIn();
        dialog.mirror();
        drag(dialog.previewArea(), QPoint(10, 10), QPoint(60, 60));
        const QImage image = picture(dialog);
        QCOMPARE(image.pixelColor(100, 100), QColor(Qt::white));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));

        CPlotJob dot;
        dot.plot = std::make_unique<CPlot>();
        dot.plot->add(lineOf(5, 5, 5, 5, 0));
        dialog.setJob(dot);
        QCOMPARE(dialog.scale(), 1.0f);
        dialog.previewArea()->setFixedSize(4, 4);
        dialog.fit();
        QCOMPARE(dialog.scale(), 1.0f);
    }

private:
    CPlotJob job_;
    std::unique_ptr<CDetailPreviewDlg> dialog_;
};

QTEST_MAIN(CDetailPreviewDlgTest)
#include "CDetailPreviewDlgTest.moc"
