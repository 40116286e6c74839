#include "DialogTestSupport.h"
#include "ui/dialogs/COutputSettingsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include <cstring>

namespace {

// Three devices; the stored one is named only by the beginning of its name, in other case.
const char* kDeviceFile =
    "[CutterDevices]\n"
    "HP Pen Plotter=HPPEN\n"
    "Roland Cutter=ROLAND\n"
    "Roland Big=ROLANDBIG\n"
    "[HPPEN]\nMaxPen=0\n"
    "[ROLAND]\nMaxPen=3\nPen0Offset=0.25\nPen1Offset=0\nPen2Offset=0.5\nPen3Offset=0.75\n"
    "RatioX=1.5\n"
    "[ROLANDBIG]\nMaxPen=1\n"
    "[CutInfo]\nDevice=rol\nSP2Dash=13\nPort=COM1\n";

QString cell(QTableWidget* list, int row, int column) { return list->item(row, column)->text(); }

void clickCell(QTableWidget* list, int row, int column)
{
    const QRect rect = list->visualRect(list->model()->index(row, column));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// A click on the box itself: the widget may be wider than its box and text.
void clickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2)); }

} // namespace

class OutputSettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheDeviceTheStoredPrefixNames()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        COutputSettingsDialog dialog(f.settings);
        QCOMPARE(child<QComboBox>(dialog, "deviceList")->currentText(), QString("Roland Cutter"));
        QCOMPARE(child<QComboBox>(dialog, "portList")->currentText().left(4), QString("COM1"));
        QCOMPARE(child<QComboBox>(dialog, "portList")->count(), 2); // COM1 and File
        // The device is loaded at once; its highest pen has no row.
        QCOMPARE(QString(f.device.displayName), QString("Roland Cutter"));
        auto* pens = child<QTableWidget>(dialog, "penList");
        QCOMPARE(pens->rowCount(), 3);
        QCOMPARE(cell(pens, 0, 0), QString(" 0 "));
        QCOMPARE(cell(pens, 0, 1), QString("-"));
        QCOMPARE(cell(pens, 1, 1), QString("Y"));
        QCOMPARE(cell(pens, 0, 2), QString("0.25"));
        QCOMPARE(cell(pens, 1, 2), QString("-"));
        QCOMPARE(child<QLineEdit>(dialog, "ratioXEdit")->text(), QString("1.50000"));
        QCOMPARE(child<QLineEdit>(dialog, "dashedPensEdit")->text(), QString("13"));
    }

    void confirmingWritesEveryKeyInOrderAndKeepsInchLengths()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        f.server.unit = 1;
        f.server.Section = 500;
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(child<QLineEdit>(dialog, "sectionEdit")->text(), QString("19.69"));
        click(dialog, "okButton");

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.value("Server.INI", "SYSTEM", "Section"), std::string("500"));
        QCOMPARE(f.value("Server.INI", "SYSTEM", "OverLap"), std::string("10"));
        const std::vector<std::string> order = {"OverLap",  "Section", "PloterOffset", "AUTOROTATE",
                                                "PageOut",  "MirrorY", "SortPlot",     "AdjustOrg",
                                                "DASHPLOT", "SENDPG",  "LineMark"};
        QVERIFY(f.keys("Server.INI", "SYSTEM") == order);
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "Device"), std::string("Roland Cutter"));
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "PORT"), std::string("COM1"));
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "mmPageGap"), std::string("20"));
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "SP2Dash"), std::string("1"));
        QCOMPARE(f.value("Plotter.INI", "ROLAND", "Pen0Offset"), std::string("0.250000"));
        // The highest pen keeps its offset; it has no row to edit.
        QCOMPARE(f.value("Plotter.INI", "ROLAND", "Pen3Offset"), std::string("0.750000"));
        QCOMPARE(f.value("Plotter.INI", "ROLAND", "RatioX"), std::string("1.500000"));
        QCOMPARE(QString(f.cutInfo.Port), QString("COM1"));
        QCOMPARE(f.listRefreshes, 1);
    }

    void penClicksAndEditsReachTheDevice()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* pens = child<QTableWidget>(dialog, "penList");
        clickCell(pens, 0, 1);
        clickCell(pens, 1, 1);
        clickCell(pens, 2, 1);
        QCOMPARE(cell(pens, 0, 1), QString("Y"));
        QCOMPARE(cell(pens, 1, 1), QString("-"));
        pens->setCurrentCell(1, 2);
        QTest::keyClick(pens, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        typeInto(editor, "0.4");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(cell(pens, 1, 2), QString("0.4"));
        // An edit still open when OK is clicked counts too.
        pens->setCurrentCell(0, 2);
        QTest::keyClick(pens, Qt::Key_F2);
        typeInto(QApplication::focusWidget(), "0.6");
        click(dialog, "okButton");

        QCOMPARE(f.value("Plotter.INI", "CutInfo", "SP2Dash"), std::string("02"));
        QCOMPARE(QString(f.device.SP2Dash), QString("02"));
        QCOMPARE(f.value("Plotter.INI", "ROLAND", "Pen1Offset"), std::string("0.400000"));
        QCOMPARE(f.device.penOffsets[1], 0.4f);
        QCOMPARE(f.value("Plotter.INI", "ROLAND", "Pen0Offset"), std::string("0.600000"));
    }

    void mirrorTicksCorrectOriginButClearingLeavesIt()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        auto* mirror = child<QCheckBox>(dialog, "mirrorCheck");
        auto* origin = child<QCheckBox>(dialog, "adjustOriginCheck");
        QVERIFY(!origin->isChecked());
        clickBox(mirror);
        QVERIFY(mirror->isChecked());
        QVERIFY(origin->isChecked());
        clickBox(mirror);
        QVERIFY(!mirror->isChecked());
        QVERIFY(origin->isChecked());
        click(dialog, "okButton");
        QCOMPARE(f.value("Server.INI", "SYSTEM", "MirrorY"), std::string("0"));
        QCOMPARE(f.value("Server.INI", "SYSTEM", "AdjustOrg"), std::string("1"));
        QCOMPARE(f.server.AdjustOrg, 1);
    }

    void deviceWithoutPenRowsWritesAnEmptyDashedList()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        child<QComboBox>(dialog, "deviceList")->setCurrentIndex(0);
        QCOMPARE(child<QTableWidget>(dialog, "penList")->rowCount(), 0);
        click(dialog, "okButton");
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "SP2Dash"), std::string(""));
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "Device"), std::string("HP Pen Plotter"));
    }

    void exitAfterADeviceChangeWritesNothingButKeepsTheDevice()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        const std::string before = TempDir::read(f.dir.file("Plotter.INI"));
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        child<QComboBox>(dialog, "deviceList")->setCurrentIndex(2);
        typeInto(child<QLineEdit>(dialog, "sectionEdit"), "800");
        click(dialog, "exitButton");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(TempDir::read(f.dir.file("Plotter.INI")), before);
        QVERIFY(!std::filesystem::exists(f.dir.file("Server.INI")));
        QCOMPARE(QString(f.device.displayName), QString("Roland Big"));
        QCOMPARE(f.server.Section, 500);
    }

    void negativeLengthsAndBadRatiosAreRefusedByName()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        const std::string before = TempDir::read(f.dir.file("Plotter.INI"));
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        typeInto(child<QLineEdit>(dialog, "overlapEdit"), "-5");
        click(dialog, "okButton");
        QCOMPARE(f.messages.size(), size_t(1));
        QVERIFY(f.messages[0].find("段间重叠") != std::string::npos);
        QVERIFY(dialog.isVisible());

        typeInto(child<QLineEdit>(dialog, "overlapEdit"), "5");
        typeInto(child<QLineEdit>(dialog, "ratioYEdit"), "0");
        click(dialog, "okButton");
        QCOMPARE(f.messages.size(), size_t(2));
        QVERIFY(f.messages[1].find("比例调整Y") != std::string::npos);

        typeInto(child<QLineEdit>(dialog, "ratioYEdit"), "1");
        typeInto(child<QLineEdit>(dialog, "sectionEdit"), "abc"); // not a number: 0, accepted
        auto* pens = child<QTableWidget>(dialog, "penList");
        pens->item(0, 2)->setText("-0.3");
        click(dialog, "okButton");
        QCOMPARE(f.messages.size(), size_t(3));
        QVERIFY(f.messages[2].find("刀具补偿") != std::string::npos);

        QVERIFY(!std::filesystem::exists(f.dir.file("Server.INI")));
        QCOMPARE(TempDir::read(f.dir.file("Plotter.INI")), before);
        QCOMPARE(f.server.OverLap, 10);
        QCOMPARE(f.listRefreshes, 0);
    }

    void editionWithoutFileOutputHidesTheDeviceChoice()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        f.settings.editionCode = 2;
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        QVERIFY(!child<QComboBox>(dialog, "deviceList")->isVisible());
        QVERIFY(!child<QLabel>(dialog, "deviceLabel")->isVisible());
        QVERIFY(!child<QAbstractButton>(dialog, "portSettingsButton")->isVisible());
        QCOMPARE(child<QComboBox>(dialog, "portList")->count(), 1); // COM1 only, no File
        click(dialog, "okButton");
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "Device"), std::string("Roland Cutter"));
    }

    void halfCutButtonOpensTheHalfCutDialog()
    {
        DialogFixture f;
        f.dir.write("Plotter.INI", kDeviceFile);
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        QString title;
        QTimer::singleShot(0, [&title] {
            QWidget* open = QApplication::activeModalWidget();
            title = open->windowTitle();
            typeInto(child<QLineEdit>(*open, "solidEdit"), "0");
            typeInto(child<QLineEdit>(*open, "voidEdit"), "0.05");
            click(*open, "okButton");
        });
        click(dialog, "halfCutButton");
        QCOMPARE(title, QString("半切功能设置"));
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "SolidCut"), std::string("0.100000"));
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "VoidCut"), std::string("0.050000"));
        QCOMPARE(f.cutInfo.SolidCut, 0.1f);
        QCOMPARE(f.cutInfo.VoidCut, 0.05f);
    }
};

QTEST_MAIN(OutputSettingsDialogTest)
#include "OutputSettingsDialogTest.moc"
