// What an operator meets in the window during a day's use: the information view following the list, the
// run stopped from either list, the fields showing what is in effect, refusals said where they stay, and
// the file name asked for a file port.

#include "WindowTestSupport.h"

#include "app/MediaBar.h"
#include "app/QtHooks.h"
#include "app/WindowPlacement.h"
#include "jobs/CAutoJobList.h"
#include "jobs/JobCommandIds.h"
#include "jobs/RunTexts.h"
#include "platform/FileTime.h"
#include "platform/Hooks.h"
#include "platform/ProgramFolder.h"
#include "ui/delegates/RowLayout.h"
#include "ui/models/CJobListModel.h"
#include "ui/preview/CPlotInfoView.h"
#include "ui/views/CAutoChildView.h"
#include "ui/views/CManualChildView.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyleOptionHeader>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QUrl>

#include <ctime>

class WindowUseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowHome> home;
    std::unique_ptr<CServerApp> app;

    CMainFrame& start() { return startWindow(app, *home); }

    // Plot files in the automatic receive folder, listed at the timer's ticks.
    void listFiles(CMainFrame& frame, std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            const std::string file = home->dir.write(std::string("receive/") + name, "IN;PD400,0,400,200;");
            platform::setFileModifiedTime(file, std::time(nullptr) - 3600);
        }
        listReceivedFiles(frame);
    }

private slots:
    void init()
    {
        platform::setProgramFolder(MARQUILL_BIN_DIR);
        home = std::make_unique<WindowHome>();
        home->setInt("Server.INI", "SYSTEM", "Language", 2052);
        std::filesystem::create_directory(home->dir.file("receive"));
        home->setString("Server.INI", "Receive", "AReceivePath", home->dir.file("receive"));
        home->setString("Server.INI", "Receive", "MReceivePath", home->dir.file("manual"));
    }
    void cleanup()
    {
        app.reset();
        home.reset();
        platform::setProgramFolder("");
    }

    void theInformationViewFollowsTheCurrentRowAndLetsGoOfADeletedJob()
    {
        CMainFrame& frame = start();
        listFiles(frame, {"a.plt", "b.plt", "c.plt"});
        QCOMPARE(frame.automaticList().rowCount(), 3);
        CAutoChildView* view = frame.automaticView();
        const QRect first = view->visualRect(view->model().index(0, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first.center() + QPoint(60, 0));
        QCOMPARE(frame.infoView()->job(), frame.automaticList().jobAt(0));
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(frame.infoView()->job(), frame.automaticList().jobAt(1));
        QVERIFY(frame.infoView()->fileNameText().endsWith(QStringLiteral("b.plt")));

        QVERIFY(frame.execute(ID_JOB_DELETE_ALL));
        QCOMPARE(frame.automaticList().rowCount(), 0);
        QVERIFY(frame.infoView()->job() == nullptr);
        QCOMPARE(frame.infoView()->fileNameText(), QStringLiteral("Unknow"));
    }

    void theQueueColumnsFitTheListAtTheFirstWindowSize_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << 2052;
        QTest::newRow("English") << 1033;
    }

    // Every column of the queue, the state last, lies inside the list as the window first opens, with more
    // rows than the list shows; no title and no usual state is shortened.
    void theQueueColumnsFitTheListAtTheFirstWindowSize()
    {
        QFETCH(int, language);
        home->setInt("Server.INI", "SYSTEM", "Language", language);
        CMainFrame& frame = start();
        frame.resize(WindowPlacement::FIRST_WIDTH, WindowPlacement::FIRST_HEIGHT);
        QTRY_COMPARE(frame.width(), WindowPlacement::FIRST_WIDTH);
        frame.applySplitterSizes(frame.centralWidget()->height());
        std::vector<std::string> names;
        for (int n = 0; n < 40; ++n)
            names.push_back("job-" + std::to_string(n) + ".plt");
        for (const std::string& name : names)
            home->dir.write("receive/" + name, "IN;PD400,0,400,200;");
        listReceivedFiles(frame);
        CAutoJobList& list = frame.automaticList();
        QCOMPARE(list.rowCount(), 40);
        list.jobAt(1)->state = CPlotJob::STATE_STANDBY;
        list.jobAt(2)->state = CPlotJob::STATE_FINISHED;
        list.jobAt(3)->copies = 12;
        list.jobAt(3)->length = 48000;
        list.setRunMode(RUN_AUTOMATIC);
        list.setRunningJob(0);
        list.setProgressText(0, progressText(4490, 4990));
        list.redrawAll();
        CAutoChildView* view = frame.automaticView();
        QTRY_VERIFY(view->verticalScrollBar()->isVisible());

        const QHeaderView* header = view->horizontalHeader();
        QStyleOptionHeader option;
        option.initFrom(header);
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, &option, header);
        const int last = CAutoJobList::COLUMN_STATE;
        QCOMPARE(header->count(), last + 1);
        QVERIFY2(header->sectionViewportPosition(last) + header->sectionSize(last) <=
                     view->viewport()->width(),
                 qPrintable(QStringLiteral("the state column ends at %1 of %2")
                                .arg(header->sectionViewportPosition(last) + header->sectionSize(last))
                                .arg(view->viewport()->width())));
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        for (int column = 0; column <= last; ++column) {
            const QString title =
                view->model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            const int room = header->sectionSize(column) - 2 * margin;
            QVERIFY2(header->fontMetrics().horizontalAdvance(title) <= room, qPrintable(title));
        }
        for (int row : {0, 1, 2, 3}) {
            for (int column = 1; column <= last; ++column) {
                const QString text = view->model().cellText(row, column);
                const int room = header->sectionSize(column) - 2 * rowlayout::TEXT_MARGIN;
                QVERIFY2(view->fontMetrics().horizontalAdvance(text) <= room, qPrintable(text));
            }
        }
        // The path takes what the others leave, beside its icons, and is shortened to it.
        QVERIFY(header->sectionSize(0) > rowlayout::LABEL_LEFT + rowlayout::PATH_INDENT);
        list.setRunningJob(-1);
    }

    // A typed length the field cannot hold is stored as 0, and the field then says 0.
    void theSectionFieldsShowWhatWasStored()
    {
        CMainFrame& frame = start();
        listFiles(frame, {"a.plt"});
        frame.infoView()->ShowJob(frame.automaticList().jobAt(0));
        QLineEdit* section = frame.infoView()->sectionLengthEdit();
        QLineEdit* limit = frame.infoView()->sectionLimitEdit();
        section->setText(QStringLiteral("abc"));
        limit->setText(QStringLiteral("3x"));
        for (QLineEdit* edit : {section, limit}) {
            QFocusEvent focusOut(QEvent::FocusOut);
            QCoreApplication::sendEvent(edit, &focusOut);
        }
        QCOMPARE(frame.automaticList().jobAt(0)->sectionLength, 0U);
        QCOMPARE(section->text(), QStringLiteral("0"));
        QCOMPARE(frame.automaticList().jobAt(0)->sectionLimit, 3U);
        QCOMPARE(limit->text(), QStringLiteral("3"));
        QCOMPARE(frame.automaticList().itemText(0, 2), std::string("0mm"));
    }

    void stopAndPauseReachTheRunWhicheverListIsActive()
    {
        CMainFrame& frame = start();
        listFiles(frame, {"a.plt"});
        frame.setActiveView(frame.manualView());
        QVERIFY(frame.toolBar()->actions().contains(frame.action(ID_PLOT_STOP)));
        frame.automaticList().setRunningJob(0);
        frame.automaticList().setRunMode(4);
        frame.updateCommandStates();
        QVERIFY(frame.action(ID_PLOT_STOP)->isEnabled());
        QVERIFY(frame.execute(ID_PLOT_PAUSE));
        QCOMPARE(frame.automaticList().runMode(), 1);
        QVERIFY(frame.execute(ID_PLOT_STOP));
        QCOMPARE(frame.automaticList().runMode(), 0);
        QCOMPARE(frame.automaticList().runningJob(), -1);
        // The other job commands still reach only the automatic list.
        QVERIFY(!frame.isCommandEnabled(ID_PLOT_START));
    }

    // Refused during output, the close is said in a box that does not hold the run up; the status bar's
    // next prompt does not take it away.
    void aRefusedCloseIsSaidInABoxOfItsOwn()
    {
        CMainFrame& frame = start();
        app->settings().device.stopFlag = 0;
        QVERIFY(!frame.close());
        QVERIFY(frame.refusalBox() != nullptr);
        QVERIFY(frame.refusalBox()->isVisible());
        QVERIFY(!frame.refusalBox()->isModal());
        QCOMPARE(frame.refusalBox()->text(), QStringLiteral("正在向绘图仪输出数据，请先终止绘图再退出"));
        frame.statusBar()->showMessage(QStringLiteral("another prompt"));
        QVERIFY(frame.refusalBox()->isVisible());
        app->settings().device.stopFlag = 1;
    }

    // Enter on the preset "*.PLT" filters the folder instead of writing a file of that name.
    void theSaveAsDialogTakesNoNameWithWildcards()
    {
        app::installQtHooks();
        const std::string folder = home->dir.path().string();
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            name->setText(QStringLiteral("*.PLT"));
            static_cast<QDialog*>(dialog)->accept();
            stayedOpen = dialog->isVisible();
            name->setText(QStringLiteral("out.plt"));
            static_cast<QDialog*>(dialog)->accept();
        });
        const auto chosen = platform::askSaveFileName({"Plot files (*.PLT)", "*.PLT", "PLT", folder});
        platform::installHooks({});
        QVERIFY(stayedOpen);
        QVERIFY(chosen.has_value());
        QCOMPARE(QString::fromStdString(*chosen), QString::fromStdString(folder + "/out.plt"));
    }

    // Files dropped on a list, or chosen with File > Add, are copied into its receive folder and listed.
    void droppedFilesAreCopiedIntoTheListsFolderAndListedAtOnce()
    {
        CMainFrame& frame = start();
        std::filesystem::create_directory(home->dir.file("elsewhere"));
        const std::string outside = home->dir.write("elsewhere/drop.plt", "IN;PD400,0;");
        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(QString::fromStdString(outside)), QUrl("https://example.org/x.plt")});
        QWidget* viewport = frame.automaticView()->viewport();
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        QCOMPARE(frame.automaticList().rowCount(), 1);
        QCOMPARE(frame.automaticList().itemText(0, 0), home->dir.file("receive/drop.plt"));
        QVERIFY(std::filesystem::exists(outside));

        QCOMPARE(frame.addFiles({QString::fromStdString(outside)}, false), 1);
        QCOMPARE(frame.manualList().itemText(0, 0), home->dir.file("manual/drop.plt"));
        auto* add = frame.findChild<QAction*>(QStringLiteral("addFilesAction"));
        QVERIFY(add != nullptr && add->isEnabled());
    }

    void theRowMenuOffersTheRowsCommands()
    {
        CMainFrame& frame = start();
        listFiles(frame, {"a.plt"});
        frame.automaticList().select(0);
        const std::unique_ptr<QMenu> menu = frame.rowMenu(frame.automaticView(), 0);
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator())
                texts << action->text();
        }
        QCOMPARE(texts, (QStringList{"开始绘图此文件", "预览...", "增加一份", "减少一份", "删除绘图数据",
                                     "打开所在文件夹", "添加绘图文件(&A)..."}));
        menu->actions()[3]->trigger(); // one more copy
        QCOMPARE(frame.automaticList().jobAt(0)->copies, 2);
        const std::unique_ptr<QMenu> manual = frame.rowMenu(frame.manualView(), -1);
        QCOMPARE(manual->actions().size(), 2); // a separator and Add
    }

    // The first start opens at a sensible size; the place and splitters are kept in [Window] at close.
    void theWindowOpensWhereItWasLeft()
    {
        int left = 0;
        {
            CMainFrame& frame = start();
            const QSize screen = frame.screen()->availableGeometry().size();
            QCOMPARE(frame.size(), QSize(1024, 700).boundedTo(screen));
            frame.resize(700, 500);
            frame.move(30, 40);
            frame.innerSplitter()->setSizes({300, frame.innerSplitter()->width() - 300});
            left = frame.innerSplitter()->sizes().front();
            QVERIFY(frame.close());
        }
        QCOMPARE(home->getInt("Server.INI", "Window", "Width", 0), 700);
        QCOMPARE(home->getInt("Server.INI", "Window", "LeftColumn", 0), left);
        app.reset();
        CMainFrame& again = start();
        QCOMPARE(again.size(), QSize(700, 500));
        QCOMPARE(again.innerSplitter()->sizes().front(), left);
    }

    // A job too long for the roll asks, once the run is over, whether to reload now; the bar shows the
    // roll left.
    void aJobTooLongForTheRollAsksForANewRoll()
    {
        home->setInt("Server.INI", "SYSTEM", "REMAINMEDIALENGTH", 5);
        CMainFrame& frame = start();
        QCOMPARE(frame.mediaBar()->value(), 5);
        std::vector<std::string> asked;
        auto previous =
            platform::installMessageBox([&asked](const std::string& text, const std::string&, unsigned) {
                asked.push_back(text);
                return platform::IDNO;
            });
        frame.run().setPortOverride(home->dir.file("out.plt"));
        listFiles(frame, {"long.plt"});
        QVERIFY(frame.execute(ID_PLOT_AUTOMATIC));
        QTRY_COMPARE(asked.size(), std::size_t(1));
        platform::installMessageBox(std::move(previous));
        QCOMPARE(asked.front(), std::string("材料不足: 现在重新上料吗?"));
        QCOMPARE(frame.automaticList().jobAt(0)->state, CPlotJob::STATE_STANDBY);
    }

    // Copies and options set by the operator outlive a restart of the window.
    void theQueueSurvivesARestart()
    {
        {
            CMainFrame& frame = start();
            listFiles(frame, {"a.plt", "b.plt"});
            frame.automaticList().jobAt(1)->copies = 4;
            frame.automaticList().jobAt(1)->options |= CPlotJob::OPTION_ROTATE;
            QVERIFY(frame.close());
        }
        app.reset();
        std::filesystem::remove(home->dir.file("receive/a.plt"));
        CMainFrame& again = start();
        QCOMPARE(again.automaticList().rowCount(), 1);
        QCOMPARE(again.automaticList().jobAt(0)->copies, 4);
        QVERIFY(again.automaticList().jobAt(0)->options & CPlotJob::OPTION_ROTATE);
        QCOMPARE(again.automaticList().itemText(0, 3), std::string("0/4"));
    }
};

QTEST_MAIN(WindowUseTest)
#include "WindowUseTest.moc"
