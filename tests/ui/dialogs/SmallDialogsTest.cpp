#include "DialogTestSupport.h"
#include "platform/ProgramFolder.h"
#include "ui/dialogs/CPathDialog.h"
#include "ui/dialogs/CPortSettingsDialog.h"
#include "ui/dialogs/CReloadPaperDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>

class SmallDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void portSettingsRoundTripTheChosenSpeedInKeyOrder()
    {
        DialogFixture f;
        {
            CPortSettingsDialog dialog(f.portFile);
            dialog.show();
            child<QComboBox>(dialog, "speedList")->setCurrentText("115200");
            child<QComboBox>(dialog, "parityList")->setCurrentIndex(2);
            QTest::mouseClick(child<QCheckBox>(dialog, "xonXoffCheck"), Qt::LeftButton, {}, QPoint(4, 8));
            click(dialog, "okButton");
        }
        QCOMPARE(f.value("Port.INI", "PortInfo", "TranSpeed"), std::string("115200"));
        QCOMPARE(f.value("Port.INI", "PortInfo", "OECheck"), std::string("2"));
        QCOMPARE(f.value("Port.INI", "PortInfo", "FlowCtrl"), std::string("6"));
        const std::vector<std::string> order = {"FilePath", "OECheck",   "TranSpeed",
                                                "StopBits", "DataWidth", "FlowCtrl"};
        QVERIFY(f.keys("Port.INI", "PortInfo") == order);
        // The mapping of port names beside the settings stays as it was.
        QCOMPARE(f.value("Port.INI", "PortMap", "COM1"), f.dir.file("tty"));

        CPortSettingsDialog again(f.portFile);
        QCOMPARE(child<QComboBox>(again, "speedList")->currentText(), QString("115200"));
        QCOMPARE(child<QComboBox>(again, "parityList")->currentIndex(), 2);
    }

    void portSettingsShowFlowFlagsAndRestoreThenCancelWritesNothing()
    {
        DialogFixture f;
        f.dir.write("Port.INI", "[PortInfo]\nFlowCtrl=5\nTranSpeed=19200\nStopBits=2\n");
        CPortSettingsDialog dialog(f.portFile);
        dialog.show();
        QVERIFY(!child<QCheckBox>(dialog, "rtsCtsCheck")->isChecked());
        QVERIFY(child<QCheckBox>(dialog, "xonXoffCheck")->isChecked());
        QVERIFY(child<QCheckBox>(dialog, "dtrDsrCheck")->isChecked());
        QCOMPARE(child<QComboBox>(dialog, "stopBitsList")->currentText(), QString("2"));

        click(dialog, "restoreButton");
        QCOMPARE(child<QComboBox>(dialog, "speedList")->currentText(), QString("9600"));
        QCOMPARE(child<QComboBox>(dialog, "dataBitsList")->currentText(), QString("8"));
        QCOMPARE(child<QComboBox>(dialog, "stopBitsList")->currentIndex(), 0);
        QVERIFY(child<QCheckBox>(dialog, "rtsCtsCheck")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "xonXoffCheck")->isChecked());
        click(dialog, "cancelButton");
        QCOMPARE(TempDir::read(f.dir.file("Port.INI")),
                 std::string("[PortInfo]\nFlowCtrl=5\nTranSpeed=19200\nStopBits=2\n"));
    }

    void portSettingsKeepASpeedTheListDoesNotOffer()
    {
        DialogFixture f;
        f.dir.write("Port.INI", "[PortInfo]\nTranSpeed=31250\nDataWidth=9\n");
        CPortSettingsDialog dialog(f.portFile);
        dialog.show();
        QCOMPARE(child<QComboBox>(dialog, "speedList")->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(dialog, "dataBitsList")->currentIndex(), -1);
        click(dialog, "okButton");
        QCOMPARE(f.value("Port.INI", "PortInfo", "TranSpeed"), std::string("31250"));
        QCOMPARE(f.value("Port.INI", "PortInfo", "DataWidth"), std::string("9"));
    }

    void reloadPaperInInchesTruncatesAndWritesTheUnit()
    {
        DialogFixture f;
        CReloadPaperDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(child<QComboBox>(dialog, "rollTypeList")->currentIndex(), 3);
        QCOMPARE(child<QLineEdit>(dialog, "widthEdit")->text(), QString("1800"));
        QTest::mouseClick(child<QRadioButton>(dialog, "inchRadio"), Qt::LeftButton, {}, QPoint(4, 8));
        QCOMPARE(child<QLineEdit>(dialog, "lengthEdit")->text(), QString("5905.5118"));
        typeInto(child<QLineEdit>(dialog, "widthEdit"), "72");
        click(dialog, "okButton");

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(f.value("Server.INI", "SYSTEM", "MediaWidth"), std::string("1828"));
        // The length was left as shown: it stays exactly as it was, not one millimetre short.
        QCOMPARE(f.value("Server.INI", "SYSTEM", "REMAINMEDIALENGTH"), std::string("150000"));
        QCOMPARE(f.value("Server.INI", "SYSTEM", "unit"), std::string("1"));
        QCOMPARE(f.paneTexts.back(), std::string("Remain Length:5905.5118 Inch"));
        QCOMPARE(f.listRefreshes, 1);
    }

    void reloadPaperUnitChangeOutlivesCancel()
    {
        DialogFixture f;
        f.dir.write("Server.INI", "[SYSTEM]\nunit=0\n");
        CReloadPaperDialog dialog(f.settings);
        dialog.show();
        QTest::mouseClick(child<QRadioButton>(dialog, "inchRadio"), Qt::LeftButton, {}, QPoint(4, 8));
        QCOMPARE(f.server.unit, 1);
        QCOMPARE(f.paneTexts.size(), size_t(1));
        click(dialog, "cancelButton");
        QCOMPARE(f.server.unit, 1);
        QCOMPARE(f.value("Server.INI", "SYSTEM", "unit"), std::string("0"));
    }

    void reloadPaperRefusesNothingLeftWithoutChangingAnything()
    {
        DialogFixture f;
        CReloadPaperDialog dialog(f.settings);
        dialog.show();
        typeInto(child<QLineEdit>(dialog, "widthEdit"), "1200");
        typeInto(child<QLineEdit>(dialog, "lengthEdit"), "0");
        click(dialog, "okButton");
        QVERIFY(dialog.isVisible());
        QVERIFY(f.messages.empty());
        QCOMPARE(f.server.MediaWidth, 1800);
        QVERIFY(!std::filesystem::exists(f.dir.file("Server.INI")));
    }

    void pathDialogShowsItsDefaultsAndWarnsOfMissingFolders()
    {
        DialogFixture f;
        f.server.AutoDeleType = 5;
        CPathDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(child<QLineEdit>(dialog, "automaticEdit")->text(), QString("C:\\Receive1"));
        QCOMPARE(child<QLineEdit>(dialog, "manualEdit")->text(), QString("C:\\Receive2"));
        QCOMPARE(child<QComboBox>(dialog, "receiveRuleList")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(dialog, "backupRuleList")->currentIndex(), 0);
        QVERIFY(!child<QLineEdit>(dialog, "backupEdit")->isVisible());
        QCOMPARE(f.server.AutoDeleType, 0); // opening takes the stored rule
        QVERIFY(child<QLabel>(dialog, "automaticWarning")->isVisible());
        typeInto(child<QLineEdit>(dialog, "automaticEdit"), QString::fromStdString(f.dir.path().string()));
        QVERIFY(!child<QLabel>(dialog, "automaticWarning")->isVisible());
    }

    void pathDialogStoresFoldersAsTypedInKeyOrder()
    {
        DialogFixture f;
        f.dir.write("Server.INI", "[Receive]\nAutoDeleType=8\n[BackUp]\nAutoDeleType=3\n");
        CPathDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(child<QComboBox>(dialog, "receiveRuleList")->currentIndex(), -1);
        typeInto(child<QLineEdit>(dialog, "automaticEdit"), "D:\\Plots\\In");
        typeInto(child<QLineEdit>(dialog, "manualEdit"), "/srv/plots/manual");
        click(dialog, "okButton");
        QCOMPARE(f.value("Server.INI", "Receive", "AReceivePath"), std::string("D:\\Plots\\In"));
        QCOMPARE(f.value("Server.INI", "Receive", "MReceivePath"), std::string("/srv/plots/manual"));
        // A rule the list has no entry for survives a confirmation that did not touch it.
        QCOMPARE(f.value("Server.INI", "Receive", "AutoDeleType"), std::string("8"));
        QCOMPARE(f.value("Server.INI", "BackUp", "BackUpPath"), std::string("C:\\BackUp"));
        QCOMPARE(f.value("Server.INI", "BackUp", "AutoDeleType"), std::string("3"));
        const std::vector<std::string> receiveOrder = {"AutoDeleType", "AReceivePath", "MReceivePath"};
        QVERIFY(f.keys("Server.INI", "Receive") == receiveOrder);
        QCOMPARE(f.server.AutoDeleType, 8);
    }

    void pathDialogBrowsesWithTheFolderPickerWhenItIsThere()
    {
        DialogFixture f;
        platform::setProgramFolder(f.dir.path().string());
        {
            CPathDialog withoutPicker(f.settings);
            QVERIFY(!child<QPushButton>(withoutPicker, "automaticBrowseButton")->isEnabled());
            QVERIFY(!child<QPushButton>(withoutPicker, "manualBrowseButton")->isEnabled());
        }
        platform::setProgramFolder(MARQUILL_BIN_DIR);
        CPathDialog dialog(f.settings);
        dialog.show();
        QVERIFY(child<QPushButton>(dialog, "manualBrowseButton")->isEnabled());
        const QString chosen = QString::fromStdString(f.dir.path().string());
        QString title;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(picker != nullptr);
            title = picker->windowTitle();
            picker->setDirectory(chosen);
            picker->selectFile(chosen);
            static_cast<QDialog*>(picker)->accept();
        });
        click(dialog, "manualBrowseButton");
        platform::setProgramFolder("");
        QCOMPARE(title, QString("手动绘图 - 路径"));
        QCOMPARE(child<QLineEdit>(dialog, "manualEdit")->text(), chosen);
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "SmallDialogsTest.moc"
