// The item model over the job lists, the row layout of the automatic list and its option toggles.

#include "RunTestSupport.h"
#include "TempDir.h"

#include "jobs/CCommandTable.h"
#include "jobs/CIntake.h"
#include "jobs/CManualJobList.h"
#include "platform/CProfile.h"
#include "ui/delegates/RowLayout.h"
#include "ui/models/CJobListModel.h"
#include "ui/views/CAutoChildView.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QProxyStyle>
#include <QSignalSpy>
#include <QStyleOptionHeader>
#include <QTest>

#include <map>

// Records the column titles as the header draws them.
class TitleRecorder : public QProxyStyle {
public:
    std::map<int, QString> titles;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
            header != nullptr && element == CE_HeaderLabel)
            const_cast<TitleRecorder*>(this)->titles[header->section] = header->text;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

class JobListModelTest : public QObject {
    Q_OBJECT

    // The run's fixture without GoogleTest: settings, a recording port and a device writing short commands.
    struct Rig {
        TempDir home;
        ServerSettings settings;
        CCutInfo cutInfo;
        CPlotterDevice device;
        CAutoJobList list{settings};
        CManualJobList manual{settings};
        RecordingPort port;
        CPlotRun run{list, settings, cutInfo, device};
        CProfile serverFile;
        std::unique_ptr<CIntake> intake;

        Rig()
        {
            device.setOutputPort(&port);
            device.RS = 0.1f;
            std::strcpy(device.command(CommandTemplate::LineTo), "D%d,%d;");
            run.setMarkPlotted(false);
            serverFile.setPath(home.file("Server.INI").c_str());
            intake = std::make_unique<CIntake>(list, manual, serverFile);
        }
        int addJob(const std::string& name)
        {
            const std::string path = home.write(name, "IN;");
            auto job = CPlotJob::create(path, CPlotJob::STATE_WAITING, settings);
            job->plot = plotOfLines({{{0, 0}, {100, 50}}});
            return list.addJob(path, std::move(job));
        }
    };

private slots:
    void modelFollowsAddsDeletesDeleteAllAndARun()
    {
        Rig rig;
        CJobListModel model(rig.list, rig.settings, CJobListModel::automaticColumns());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const CCommandTable commands = automaticListCommands(rig.list, rig.run, *rig.intake, rig.device);
        QSignalSpy posted(&model, &CJobListModel::commandPosted);

        rig.addJob("a.plt");
        rig.addJob("b.plt");
        rig.addJob("c.plt");
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 5);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("自动绘图"));
        QCOMPARE(model.data(model.index(0, 3), Qt::DisplayRole).toString(), QStringLiteral("0/1"));

        rig.list.select(1);
        QVERIFY(commands.execute(ID_JOB_DELETE));
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(model.data(model.index(1, 0), Qt::DisplayRole).toString().endsWith(QStringLiteral("c.plt")));

        // The run is posted, not run at once; it arrives through the event loop.
        QVERIFY(commands.execute(ID_PLOT_AUTOMATIC));
        QCOMPARE(posted.count(), 0);
        QTRY_COMPARE(posted.count(), 1);
        QCOMPARE(posted.front().front().toInt(), ID_RUN);
        // Disabled in the automatic sequence: choosing it again does nothing.
        QVERIFY(!commands.execute(ID_PLOT_AUTOMATIC));
        QVERIFY(commands.execute(ID_RUN));
        QCOMPARE(rig.port.passes.size(), 2u); // one for each job
        QCOMPARE(model.data(model.index(0, 4), Qt::DisplayRole).toString(), QStringLiteral("完成"));
        QCOMPARE(model.data(model.index(1, 3), Qt::DisplayRole).toString(), QStringLiteral("1/1"));

        QVERIFY(commands.execute(ID_JOB_DELETE_ALL));
        QCOMPARE(model.rowCount(), 0);
    }

    void rowLayoutPicksTheIconsAndShortensTextsThatDoNotFit()
    {
        CPlotJob job;
        job.state = 0x1234;
        QCOMPARE(rowlayout::stateIconIndex(job), rowlayout::ICON_INDEX_STANDBY);
        job.state = CPlotJob::STATE_FAILED;
        QCOMPARE(rowlayout::stateIconIndex(job), rowlayout::ICON_INDEX_FAILED);
        job.options = CPlotJob::OPTION_HALF_CUT;
        QCOMPARE(rowlayout::halfCutIconIndex(job), rowlayout::ICON_INDEX_HALF_CUT_SET);
        QCOMPARE(rowlayout::autoFeedIconIndex(job), rowlayout::ICON_INDEX_FEED_CLEAR);

        const QFontMetrics metrics(QApplication::font());
        const auto widthOf = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
        const QString path = QStringLiteral("/receive/一个很长的文件名称/drawing-with-a-long-name.plt");
        const QString shortened = rowlayout::shortenedText(path, 120, widthOf);
        QVERIFY(shortened.endsWith(QStringLiteral("...")));
        QVERIFY(path.startsWith(shortened.chopped(3)));
        QVERIFY(widthOf(shortened) <= 120);
        QCOMPARE(rowlayout::shortenedText(QStringLiteral("a.plt"), 120, widthOf), QStringLiteral("a.plt"));
        // No room at all: only the dots are left.
        QCOMPARE(rowlayout::shortenedText(path, 0, widthOf), QStringLiteral("..."));
        // A character outside the basic plane is never cut in half.
        const QString wide = QString::fromUtf8("ab\xF0\x9F\x96\x8A\xF0\x9F\x96\x8A\xF0\x9F\x96\x8A");
        for (int room = 0; room < widthOf(wide); ++room)
            QVERIFY(!rowlayout::shortenedText(wide, room, widthOf).chopped(3).endsWith(QChar(0xD83D)));
    }

    void aTitleWiderThanItsColumnEndsInAnEllipsis()
    {
        Rig rig;
        CJobListModel model(rig.list, rig.settings, CJobListModel::automaticColumns());
        TitleRecorder style;
        CAutoChildView view(rig.list, model);
        view.horizontalHeader()->setStyle(&style);
        // The path column takes what the others leave: 30 pixels in a view just that much wider.
        const int section = view.columnWidth(CAutoJobList::COLUMN_SECTION);
        int others = 0;
        for (int column = 1; column < model.columnCount(); ++column)
            others += view.columnWidth(column);
        view.resize(others + 30 + 2 * view.frameWidth(), 200);
        view.grab();
        QCOMPARE(view.columnWidth(0), 30);
        const QString& shortened = style.titles[0];
        QVERIFY(shortened.endsWith(QChar(0x2026)));
        QVERIFY(QStringLiteral("自动绘图").startsWith(shortened.chopped(1)));
        QVERIFY(view.horizontalHeader()->fontMetrics().horizontalAdvance(shortened) <= 30);
        // A title that fits is drawn whole, and the other columns keep their widths.
        QCOMPARE(style.titles[CAutoJobList::COLUMN_STATE], QStringLiteral("状态"));
        QCOMPARE(view.columnWidth(CAutoJobList::COLUMN_SECTION), section);
    }

    void iconPressesToggleTheJobButNotTheSelectionOrTheRunningRow()
    {
        Rig rig;
        CJobListModel model(rig.list, rig.settings, CJobListModel::automaticColumns());
        CAutoChildView view(rig.list, model);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        rig.addJob("a.plt");
        rig.addJob("b.plt");
        rig.list.select(0);
        QCOMPARE(view.currentIndex().row(), 0);

        const int y = view.visualRect(model.index(1, 0)).center().y();
        CPlotJob& job = *rig.list.jobAt(1);
        const auto press = [&view, y](int x) {
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(x, y));
        };

        press(20); // the state icon: waiting becomes standby
        QCOMPARE(job.state, CPlotJob::STATE_STANDBY);
        job.messageId = 32779;
        press(30); // and standby becomes waiting, its message cleared
        QCOMPARE(job.state, CPlotJob::STATE_WAITING);
        QCOMPARE(job.messageId, 0);
        press(40); // the half-cut icon
        QVERIFY(job.options & CPlotJob::OPTION_HALF_CUT);
        press(56); // the feed icon
        QVERIFY(!(job.options & CPlotJob::OPTION_AUTO_FEED));
        QCOMPARE(rig.list.selectedRow(), 0);
        QCOMPARE(view.currentIndex().row(), 0);

        // On the running row nothing changes; the press selects it as any press on a row does.
        rig.list.setRunningJob(1);
        rig.list.setRunMode(RUN_ONE_JOB);
        const std::uint16_t options = job.options;
        press(20);
        press(40);
        QCOMPARE(job.state, CPlotJob::STATE_WAITING);
        QCOMPARE(job.options, options);

        // Left of the state icon and on the path the press selects the row.
        rig.list.setRunningJob(-1);
        press(8);
        QCOMPARE(rig.list.selectedRow(), 1);
    }
};

QTEST_MAIN(JobListModelTest)
#include "JobListModelTest.moc"
