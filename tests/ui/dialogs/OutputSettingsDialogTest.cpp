#include "DialogTestSupport.h"
#include "ui/dialogs/COutputSettingsDialog.h"
#include "vplotter/VirtualPlotter.h"

#include <QApplication>
#include <QCheckBox>
#include <QTableWidget>
#include <QTimer>

namespace {

// Three devices; the stored one is named only by the beginning of its name, in other case.
struct DevicesFixture : DialogFixture {
    DevicesFixture()
    {
        dir.write("Plotter.INI", "[CutterDevices]\n"
                                 "HP Pen Plotter=HPPEN\n"
                                 "Roland Cutter=ROLAND\n"
                                 "Roland Big=ROLANDBIG\n"
                                 "[HPPEN]\nMaxPen=0\n"
                                 "[ROLAND]\nMaxPen=3\nPen0Offset=0.25\nPen1Offset=0\nPen2Offset=0.5\n"
                                 "Pen3Offset=0.75\nRatioX=1.5\n"
                                 "[ROLANDBIG]\nMaxPen=1\n"
                                 "[CutInfo]\nDevice=rol\nSP2Dash=13\nPort=COM1\n");
    }
};

// The rows of the pen list, "number|dashed mark|offset" each, joined by '/'.
QString penRows(QTableWidget* list)
{
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row)
        rows << list->item(row, 0)->text() + '|' + list->item(row, 1)->text() + '|' +
                    list->item(row, 2)->text();
    return rows.join('/');
}

void clickCell(QTableWidget* list, int row, int column)
{
    const QRect rect = list->visualRect(list->model()->index(row, column));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// Opens the editor of a pen's offset and types into it, leaving the edit open.
void typeOffset(QTableWidget* list, int row, const QString& text)
{
    list->setCurrentCell(row, 2);
    QTest::keyClick(list, Qt::Key_F2);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr);
    typeInto(QApplication::focusWidget(), text);
}

} // namespace

class OutputSettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheStoredDeviceAndWritesEveryKeyInOrderKeepingInchLengths()
    {
        DevicesFixture f;
        f.server.unit = 1;
        f.server.Section = 500;
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(shown(dialog, {"deviceList", "ratioXEdit", "dashedPensEdit", "sectionEdit"}),
                 QString("Roland Cutter|1.50000|13|19.69"));
        QCOMPARE(child<QComboBox>(dialog, "portList")->currentText().left(4), QString("COM1"));
        QCOMPARE(child<QComboBox>(dialog, "portList")->count(), 2); // COM1 and File
        // The device is loaded at once; its highest pen has no row.
        QCOMPARE(QString(f.device.displayName), QString("Roland Cutter"));
        auto* pens = child<QTableWidget>(dialog, "penList");
        QCOMPARE(penRows(pens), QString(" 0 |-|0.25/ 1 |Y|-/ 2 |-|0.50"));
        click(dialog, "okButton");

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // Lengths left as shown in inches are written as they were, not moved by the rounding of the display.
        QCOMPARE(f.section("Server.INI", "SYSTEM"),
                 QString("OverLap=10|Section=500|PloterOffset=0|AUTOROTATE=0|PageOut=0|MirrorY=0|SortPlot=1|"
                         "AdjustOrg=0|DASHPLOT=0|SENDPG=1|LineMark=0"));
        QCOMPARE(f.values("Plotter.INI", "CutInfo", {"Device", "PORT", "mmPageGap", "SP2Dash"}),
                 QString("Roland Cutter|COM1|20|1"));
        // The highest pen keeps its offset; it has no row to edit.
        QCOMPARE(f.values("Plotter.INI", "ROLAND", {"Pen0Offset", "Pen3Offset", "RatioX"}),
                 QString("0.250000|0.750000|1.500000"));
        QCOMPARE(QString(f.cutInfo.Port), QString("COM1"));
        QCOMPARE(f.listRefreshes, 1);
    }

    void penClicksEditsAndMirrorReachTheSettings()
    {
        DevicesFixture f;
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* pens = child<QTableWidget>(dialog, "penList");
        for (int row = 0; row < 3; ++row)
            clickCell(pens, row, 1);
        QCOMPARE(penRows(pens), QString(" 0 |Y|0.25/ 1 |-|-/ 2 |Y|0.50"));
        typeOffset(pens, 1, "0.4");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(pens->item(1, 2)->text(), QString("0.4"));

        // Ticking mirror ticks correct-origin; clearing it leaves correct-origin ticked.
        QCOMPARE(shown(dialog, {"mirrorCheck", "adjustOriginCheck"}), QString("off|off"));
        clickBox(child<QCheckBox>(dialog, "mirrorCheck"));
        QCOMPARE(shown(dialog, {"mirrorCheck", "adjustOriginCheck"}), QString("on|on"));
        clickBox(child<QCheckBox>(dialog, "mirrorCheck"));
        QCOMPARE(shown(dialog, {"mirrorCheck", "adjustOriginCheck"}), QString("off|on"));

        // An edit still open when OK is clicked counts too.
        typeOffset(pens, 0, "0.6");
        click(dialog, "okButton");
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "SP2Dash"), std::string("02"));
        QCOMPARE(QString(f.device.SP2Dash), QString("02"));
        QCOMPARE(f.values("Plotter.INI", "ROLAND", {"Pen0Offset", "Pen1Offset"}),
                 QString("0.600000|0.400000"));
        QCOMPARE(f.device.penOffsets[1], 0.4f);
        QCOMPARE(f.values("Server.INI", "SYSTEM", {"MirrorY", "AdjustOrg"}), QString("0|1"));
        QCOMPARE(f.server.AdjustOrg, 1);
    }

    void refusedValuesAndExitWriteNothingButTheChosenDeviceStaysLoaded()
    {
        DevicesFixture f;
        const std::string before = f.text("Plotter.INI");
        {
            COutputSettingsDialog dialog(f.settings);
            dialog.show();
            // Negative lengths and ratios not above 0 are refused by the field's name; the dialog stays.
            const auto refused = [&](std::size_t count, const char* name) {
                click(dialog, "okButton");
                QCOMPARE(f.messages.size(), count);
                QVERIFY(f.messages.back().find(name) != std::string::npos);
                QVERIFY(dialog.isVisible());
            };
            typeInto(child<QLineEdit>(dialog, "overlapEdit"), "-5");
            refused(1, "段间重叠");
            typeInto(child<QLineEdit>(dialog, "overlapEdit"), "5");
            typeInto(child<QLineEdit>(dialog, "ratioYEdit"), "0");
            refused(2, "比例调整Y");
            typeInto(child<QLineEdit>(dialog, "ratioYEdit"), "1");
            typeInto(child<QLineEdit>(dialog, "sectionEdit"), "abc"); // not a number: 0, accepted
            child<QTableWidget>(dialog, "penList")->item(0, 2)->setText("-0.3");
            refused(3, "刀具补偿");

            child<QComboBox>(dialog, "deviceList")->setCurrentIndex(2);
            typeInto(child<QLineEdit>(dialog, "sectionEdit"), "800");
            click(dialog, "exitButton");
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(f.text("Plotter.INI"), before);
        QVERIFY(f.text("Server.INI").empty()); // not written
        QCOMPARE(QString(f.device.displayName), QString("Roland Big"));
        QCOMPARE(f.server.Section, 500);
        QCOMPARE(f.server.OverLap, 10);
        QCOMPARE(f.listRefreshes, 0);

        // A device without pen rows writes an empty dashed-pen list.
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(shown(dialog, {"deviceList"}), QString("Roland Cutter"));
        child<QComboBox>(dialog, "deviceList")->setCurrentIndex(0);
        QCOMPARE(child<QTableWidget>(dialog, "penList")->rowCount(), 0);
        click(dialog, "okButton");
        QCOMPARE(f.values("Plotter.INI", "CutInfo", {"SP2Dash", "Device"}), QString("|HP Pen Plotter"));
    }

    void editionWithoutFileOutputHidesTheDeviceChoiceButOffersHalfCut()
    {
        DevicesFixture f;
        f.settings.editionCode = 2;
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        for (const char* name : {"deviceList", "deviceLabel", "portSettingsButton"})
            QVERIFY2(!child<QWidget>(dialog, name)->isVisible(), name);
        QCOMPARE(child<QComboBox>(dialog, "portList")->count(), 1); // COM1 only, no File

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
        QCOMPARE(f.values("Plotter.INI", "CutInfo", {"SolidCut", "VoidCut"}), QString("0.100000|0.050000"));
        QCOMPARE(f.cutInfo.SolidCut, 0.1f);
        QCOMPARE(f.cutInfo.VoidCut, 0.05f);

        click(dialog, "okButton");
        QCOMPARE(f.value("Plotter.INI", "CutInfo", "Device"), std::string("Roland Cutter"));
    }

    // The handshake is shown for the selected device and written only when chosen anew. The port settings
    // opened from here check the device on the chosen port and say what it answered.
    void theHandshakeIsChosenPerDeviceAndThePortSettingsCheckTheDevice()
    {
        DevicesFixture f;
        VirtualPlotter plotter;
        QVERIFY(plotter.ok());
        f.portFile.setString("PortMap", "COM1", plotter.path().c_str());
        COutputSettingsDialog dialog(f.settings);
        dialog.show();
        auto* handshake = child<QComboBox>(dialog, "handshakeList");
        QCOMPARE(handshake->currentIndex(), 0);

        QTimer::singleShot(0, [] {
            QWidget* open = QApplication::activeModalWidget();
            click(*open, "checkDeviceButton");
            click(*open, "cancelButton");
        });
        click(dialog, "portSettingsButton");
        QCOMPARE(f.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(f.messages.front()).split('\n').last(),
                 QString("设备回答缓冲区查询: 请选择握手方式 \"缓冲查询\" (Handshake=1)。"));

        handshake->setCurrentIndex(1);
        click(dialog, "okButton");
        QCOMPARE(f.value("Plotter.INI", "ROLAND", "Handshake"), std::string("1"));
        QCOMPARE(f.device.Handshake, 1);
        QVERIFY(!f.section("Plotter.INI", "HPPEN").contains("Handshake"));

        COutputSettingsDialog again(f.settings);
        QCOMPARE(child<QComboBox>(again, "handshakeList")->currentIndex(), 1);
        child<QComboBox>(again, "deviceList")->setCurrentIndex(0);
        QCOMPARE(child<QComboBox>(again, "handshakeList")->currentIndex(), 0);
    }
};

QTEST_MAIN(OutputSettingsDialogTest)
#include "OutputSettingsDialogTest.moc"
