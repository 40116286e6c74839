// The main frame: toolbars, splitters, the close sequence, the language switch and a whole run.

#include "WindowTestSupport.h"

#include "app/CopyProgressPane.h"
#include "app/FrameCommandIds.h"
#include "app/QtHooks.h"
#include "jobs/JobCommandIds.h"
#include "jobs/JobPlot.h"
#include "platform/FileTime.h"
#include "platform/Hooks.h"
#include "platform/ProgramFolder.h"
#include "plotdata/ResultCodes.h"
#include "ui/dialogs/COutputSettingsDialog.h"
#include "ui/dialogs/CPathDialog.h"
#include "ui/dialogs/CReloadPaperDialog.h"
#include "ui/preview/CPlotInfoView.h"
#include "ui/views/CAutoChildView.h"
#include "ui/views/CManualChildView.h"
#include "vplotter/VirtualPlotter.h"

#include <QApplication>
#include <QDialog>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>

#include <algorithm>
#include <ctime>
#include <functional>
#include <utility>

namespace {

// Calls its action each time the widget it filters is painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(std::function<void()> onPaint) : onPaint_(std::move(onPaint)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            onPaint_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onPaint_;
};

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowHome> home;
    std::unique_ptr<CServerApp> app;

    CMainFrame& start() { return startWindow(app, *home); }

private slots:
    void init()
    {
        platform::setProgramFolder(MARQUILL_BIN_DIR);
        home = std::make_unique<WindowHome>();
        home->setInt("Server.INI", "SYSTEM", "Language", 2052);
    }
    void cleanup()
    {
        app.reset();
        home.reset();
        platform::setProgramFolder("");
    }

    void theToolbarFollowsTheActiveList()
    {
        CMainFrame& frame = start();
        QCOMPARE(frame.activeView(), static_cast<CJobListWidget*>(frame.automaticView()));
        QCOMPARE(frame.toolBar()->actions().size(), 10);
        const QList<QAction*> buttons = frame.toolBar()->actions();
        QCOMPARE(std::count_if(buttons.begin(), buttons.end(), [](QAction* a) { return a->isSeparator(); }),
                 qsizetype(3));
        frame.setActiveView(frame.manualView());
        // Send, and the stop of the automatic run, which answers from either list.
        QCOMPARE(frame.toolBar()->actions().size(), 3);
        QCOMPARE(frame.toolBar()->actions().front(), frame.action(ID_SEND_TO_AUTOMATIC));
        // The job commands reach only the automatic list.
        QVERIFY(!frame.isCommandEnabled(ID_PLOT_AUTOMATIC));
        QVERIFY(frame.isCommandEnabled(ID_SEND_TO_AUTOMATIC));
        QTest::mouseClick(frame.automaticView()->viewport(), Qt::LeftButton);
        QCOMPARE(frame.toolBar()->actions().size(), 10);
        QVERIFY(frame.isCommandEnabled(ID_PLOT_AUTOMATIC));
        // Reserved items without a handler stay disabled.
        QVERIFY(!frame.action(ID_RESERVED_NEW_JOB)->isEnabled());
        QCOMPARE(frame.action(ID_PLOT_START)->statusTip(), QStringLiteral("开始绘图,完成一个工作后暂停"));
    }

    void theSettingsCommandsOpenTheirDialogsOverTheWindowsOwnFiles()
    {
        CMainFrame& frame = start();
        QCOMPARE(std::string(frame.dialogSettings().portFile.path()), home->folder() + "Port.INI");
        const auto opens = [&frame](int id, auto* dialogType) {
            QVERIFY(frame.isCommandEnabled(id));
            bool opened = false;
            QTimer::singleShot(0, [&opened] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                opened = dynamic_cast<decltype(dialogType)>(dialog) != nullptr;
                if (dialog != nullptr)
                    dialog->reject();
            });
            QVERIFY(frame.execute(id));
            QVERIFY2(opened, qPrintable(QStringLiteral("command %1 opened no dialog of its own").arg(id)));
        };
        opens(ID_PATH_SETTINGS, static_cast<CPathDialog*>(nullptr));
        opens(ID_RELOAD_MEDIA, static_cast<CReloadPaperDialog*>(nullptr));
        opens(ID_OUTPUT_SETTINGS, static_cast<COutputSettingsDialog*>(nullptr));
    }

    void aClientHeightOf600GivesATopRowOf440()
    {
        CMainFrame& frame = start();
        frame.resize(1000, 600 + frame.height() - frame.centralWidget()->height());
        QTRY_COMPARE(frame.centralWidget()->height(), 600);
        frame.applySplitterSizes(frame.centralWidget()->height());
        QCOMPARE(frame.outerSplitter()->sizes().front(), 440);
        QCOMPARE(frame.innerSplitter()->sizes().front(), 500);
        QCOMPARE(frame.mediaPane()->width(), CMainFrame::MEDIA_PANE_WIDTH);
    }

    void closeAndLanguageSwitchWaitForTheOutputThenSaveTheMedia()
    {
        CMainFrame& frame = start();
        app->settings().device.stopFlag = 0;
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
        QVERIFY(frame.promptPane()->text().contains(QStringLiteral("终止绘图")) ||
                frame.statusBar()->currentMessage().contains(QStringLiteral("终止绘图")));
        frame.updateCommandStates();
        QVERIFY(!frame.action(ID_LANGUAGE_ENGLISH)->isEnabled());
        QVERIFY(!frame.execute(ID_LANGUAGE_ENGLISH));
        QVERIFY(!app->switchLanguage(LANGUAGE_ENGLISH));
        QVERIFY(frame.statusBar()->currentMessage().contains(QStringLiteral("切换语言")));
        QCOMPARE(home->getInt("Server.INI", "SYSTEM", "Language", 0), 2052);
        QCOMPARE(home->getInt("Server.INI", "SYSTEM", "REMAINMEDIALENGTH", -1), -1);
        QVERIFY(!app->restartRequested());

        app->settings().device.stopFlag = 1;
        app->settings().server.REMAINMEDIALENGTH = 4321;
        QVERIFY(frame.execute(ID_LANGUAGE_ENGLISH));
        QCOMPARE(home->getInt("Server.INI", "SYSTEM", "Language", 0), 1033);
        QCOMPARE(home->getInt("Server.INI", "SYSTEM", "REMAINMEDIALENGTH", -1), 4321);
        QVERIFY(app->restartRequested());

        app->settings().server.REMAINMEDIALENGTH = 1234;
        app->settings().server.MediaWidth = 610;
        QVERIFY(frame.close());
        QCOMPARE(home->getInt("Server.INI", "SYSTEM", "REMAINMEDIALENGTH", -1), 1234);
        QCOMPARE(home->getInt("Server.INI", "SYSTEM", "MediaWidth", -1), 610);
    }

    void aDroppedFileIsListedAtATimerTickAndPlottedIntoAFile()
    {
        const std::string receive = home->dir.file("receive");
        std::filesystem::create_directory(receive);
        home->setString("Server.INI", "Receive", "AReceivePath", receive);
        home->setString("Server.INI", "Receive", "MReceivePath", home->dir.file("manual"));
        home->setInt("Server.INI", "SYSTEM", "REMAINMEDIALENGTH", 100000);
        CMainFrame& frame = start();
        const std::string output = home->dir.file("out.plt");
        frame.run().setPortOverride(output);
        QCOMPARE(frame.automaticList().rowCount(), 0);

        // Written an hour ahead of the wall clock: only the window's own scans settle it.
        FileSettle::TimePoint steady{};
        frame.intake().setSettleClock([&steady] { return steady; });
        const std::string file =
            home->dir.write("receive/frame.plt", "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;SP0;");
        platform::setFileModifiedTime(file, std::time(nullptr) + 3600);
        CAutoChildView* view = frame.automaticView();
        QTimerEvent tick(view->receiveTimerId());
        QCoreApplication::sendEvent(view, &tick);
        QCOMPARE(frame.automaticList().rowCount(), 0);
        // The scan held the file back and rescans just after it would have settled, before the next tick.
        QTimer* rescan = view->settleTimer();
        QVERIFY(rescan->isActive());
        QVERIFY(rescan->remainingTime() > 4900 && rescan->remainingTime() <= 5020);
        const auto fire = [rescan] {
            QTimerEvent event(rescan->timerId());
            QCoreApplication::sendEvent(rescan, &event);
        };
        steady += std::chrono::milliseconds(4990);
        fire();
        QCOMPARE(frame.automaticList().rowCount(), 0);
        QVERIFY(rescan->isActive());
        QVERIFY(rescan->remainingTime() <= 30);
        steady += std::chrono::milliseconds(10);
        fire();
        QCOMPARE(frame.automaticList().rowCount(), 1);
        QVERIFY(!rescan->isActive());

        QVERIFY(frame.execute(ID_PLOT_AUTOMATIC));
        QTRY_COMPARE(frame.automaticList().jobAt(0)->state, CPlotJob::STATE_FINISHED);
        QTRY_COMPARE(frame.automaticList().runningJob(), -1);
        QCOMPARE(frame.automaticList().stateColumnText(0), std::string("完成"));
        QVERIFY(std::filesystem::file_size(output) > 0);
        // The media used is the right edge of the frame, 100 mm.
        QCOMPARE(app->settings().server.REMAINMEDIALENGTH, 100000 - 100);
        QCOMPARE(frame.mediaPane()->text(), QStringLiteral("剩余材料长度:99900 mm"));
    }

    // A plotter paced by its buffer: the row says the copy is being sent, then that the device is drawing,
    // and the copy is finished only once the device has drawn it.
    void theRowShowsTheSendingAndDrawingStatesOfAPacedDevice()
    {
        VirtualPlotterSettings settings;
        settings.penSpeed = 2000;
        VirtualPlotter plotter(settings);
        QVERIFY(plotter.ok());
        home->setString("Port.INI", "PortMap", "COM1", plotter.path());
        home->setInt("Port.INI", "PortInfo", "FlowCtrl", 0);
        home->setString("Plotter.INI", "CutInfo", "Device", "HP-GL 绘图仪(缓冲查询)");
        home->setInt("Server.INI", "SYSTEM", "REMAINMEDIALENGTH", 100000);
        std::string lines = "IN;SP1;";
        for (int i = 0; i < 30; ++i) // 30 lines of 100 mm and their way back: 3 s of drawing
            lines += "PU0," + std::to_string(i * 40) + ";PD4000," + std::to_string(i * 40) + ";";
        const std::string file = home->dir.write("lines.plt", lines);
        CMainFrame& frame = start();
        frame.run().setPortOverride("COM1");
        std::unique_ptr<CPlotJob> job =
            CPlotJob::create(file, CPlotJob::STATE_WAITING, app->settings().server);
        frame.automaticList().addJob(file, std::move(job));

        std::vector<std::string> shown;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            const std::string text = frame.automaticList().stateColumnText(0);
            if (shown.empty() || shown.back() != text)
                shown.push_back(text);
        });
        watch.start(5);
        // The window's own message step, which lets the timer and the row's updates run during the copy.
        app::installQtHooks();
        QVERIFY(frame.execute(ID_PLOT_AUTOMATIC));
        QTRY_COMPARE_WITH_TIMEOUT(frame.automaticList().runningJob(), -1, 60000);
        platform::installHooks(platform::Hooks{});
        frame.copyProgressPane()->removeEventFilter(&watch);
        const double ended = plotter.seconds();
        QCOMPARE(frame.automaticList().jobAt(0)->state, CPlotJob::STATE_FINISHED);
        const auto at = [&shown](const std::string& text) {
            return std::find(shown.begin(), shown.end(), text) - shown.begin();
        };
        std::string seen;
        for (const std::string& text : shown)
            seen += text + " | ";
        QVERIFY2(at("正在绘制 0 - 500mm 区域") < at("已发送; 设备正在绘制"), seen.c_str());
        QVERIFY2(at("已发送; 设备正在绘制") < static_cast<long>(shown.size()), seen.c_str());
        QCOMPARE(frame.automaticList().stateColumnText(0), std::string("完成"));
        QCOMPARE(plotter.report().lost, std::size_t{0});
        QVERIFY(plotter.report().finishedAt > 2.5);
        QVERIFY(plotter.report().finishedAt <= ended);
    }

    // The information view shows the selected job's plotting time, a copy's and all copies'; while a
    // copy runs the status bar's pane shows which copy it is, the per cent sent and the time left, and
    // it goes once the copy is over.
    void theInformationViewShowsThePlottingTimeAndThePaneTheCopysProgress()
    {
        home->setInt("Server.INI", "SYSTEM", "REMAINMEDIALENGTH", 100000);
        home->setInt("Port.INI", "PortInfo", "TranSpeed", 9600);
        std::string lines = "IN;SP1;";
        for (int i = 0; i < 400; ++i) // 400 lines of 100 mm and back lifted: 2.5 minutes of pen
            lines += "PU0," + std::to_string(i * 10) + ";PD4000," + std::to_string(i * 10) + ";";
        const std::string file = home->dir.write("lines.plt", lines);
        CMainFrame& frame = start();
        frame.run().setPortOverride(home->dir.file("out.plt"));
        std::unique_ptr<CPlotJob> made =
            CPlotJob::create(file, CPlotJob::STATE_WAITING, app->settings().server);
        made->copies = 2;
        frame.automaticList().addJob(file, std::move(made));
        CPlotJob& job = *frame.automaticList().jobAt(0);

        frame.infoView()->ShowJob(&job);
        QCOMPARE(frame.infoView()->timeText(), QStringLiteral("???")); // not loaded yet
        QCOMPARE(loadJobPlot(job), RESULT_OK);
        frame.infoView()->ShowJob(&job);
        QTRY_VERIFY(!frame.infoView()->estimating());
        const QString shown = frame.infoView()->timeText();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^每份 2:\\d\\d, 2 份共 [45]:\\d\\d$")).match(shown).hasMatch(),
            qPrintable(shown));
        frame.infoView()->ShowJob(nullptr);
        QCOMPARE(frame.infoView()->timeText(), QStringLiteral("???"));

        // The pane is drawn at every report of the copy, between passes of the event loop that a short
        // copy into a file may never reach: it is watched as it paints.
        std::vector<QString> seen;
        int lastPercent = -1;
        PaintWatch watch([&] {
            CCopyProgressPane* pane = frame.copyProgressPane();
            if (!pane->isVisible())
                return;
            const QString text = pane->copyText() + QStringLiteral(" ") + pane->timeLeftText();
            if (seen.empty() || seen.back() != text)
                seen.push_back(text);
            QVERIFY(pane->percent() >= lastPercent || text.startsWith(QStringLiteral("第 2")));
            lastPercent = pane->percent();
        });
        frame.copyProgressPane()->installEventFilter(&watch);
        app::installQtHooks();
        QVERIFY(frame.execute(ID_PLOT_AUTOMATIC));
        QTRY_COMPARE_WITH_TIMEOUT(frame.automaticList().runningJob(), -1, 60000);
        platform::installHooks(platform::Hooks{});
        frame.copyProgressPane()->removeEventFilter(&watch);
        QCOMPARE(job.copiesDone, 2);
        QVERIFY(!frame.copyProgressPane()->isVisible());
        QString all;
        for (const QString& text : seen)
            all += text + QStringLiteral(" | ");
        QVERIFY2(!seen.empty() && seen.front().startsWith(QStringLiteral("第 1 份, 共 2 份 剩余 2:")),
                 qPrintable(all));
        QVERIFY2(
            std::any_of(seen.begin(), seen.end(),
                        [](const QString& t) { return t.startsWith(QStringLiteral("第 2 份, 共 2 份")); }),
            qPrintable(all));
    }

    // Selecting a job not yet estimated shows that it is being estimated and leaves the window free; a
    // result that comes for a job no longer shown is neither shown nor kept, nor for a job deleted since.
    // A job estimated once shows its time at once.
    void theInformationViewEstimatesOffTheWindowsThreadAndDropsResultsNoLongerShown()
    {
        std::string lines = "IN;SP1;";
        for (int i = 0; i < 3000; ++i)
            lines += "PU0," + std::to_string(i * 10) + ";PD4000," + std::to_string(i * 10) + ";";
        const std::string large = home->dir.write("large.plt", lines);
        const std::string small = home->dir.write("small.plt", "IN;SP1;PU0,0;PD4000,0;");
        const std::string gone = home->dir.write("gone.plt", lines);
        CMainFrame& frame = start();
        CAutoJobList& list = frame.automaticList();
        for (const std::string& file : {large, small, gone})
            list.addJob(file, CPlotJob::create(file, CPlotJob::STATE_WAITING, app->settings().server));
        for (int row = 0; row < 3; ++row)
            QCOMPARE(loadJobPlot(*list.jobAt(row)), RESULT_OK);
        CPlotInfoView& view = *frame.infoView();
        const QString estimating = QStringLiteral("正在估算...");

        view.ShowJob(list.jobAt(0));
        QCOMPARE(view.timeText(), estimating);
        QVERIFY(view.estimating());
        view.ShowJob(list.jobAt(1));
        view.ShowJob(list.jobAt(1)); // shown again as a click selects it: the estimate under way is awaited
        QCOMPARE(view.timeText(), estimating);
        QTRY_VERIFY(!view.estimating());
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        const QString smallTime = view.timeText();
        QVERIFY2(QRegularExpression(QStringLiteral("^0:\\d\\d$")).match(smallTime).hasMatch(),
                 qPrintable(smallTime));
        QVERIFY(list.jobAt(0)->estimateKey.empty());
        QVERIFY(!list.jobAt(1)->estimateKey.empty());

        view.ShowJob(list.jobAt(2));
        QVERIFY(list.forgetJob(2));
        QCOMPARE(view.job(), nullptr);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(view.timeText(), QStringLiteral("???"));

        view.ShowJob(list.jobAt(1));
        QVERIFY(!view.estimating());
        QCOMPARE(view.timeText(), smallTime);
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
