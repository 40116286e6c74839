#include "DialogTestSupport.h"
#include "platform/ProgramFolder.h"
#include "ui/dialogs/CPathDialog.h"
#include "ui/dialogs/CPortSettingsDialog.h"
#include "ui/dialogs/CReloadPaperDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
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
            clickBox(child<QCheckBox>(dialog, "xonXoffCheck"));
            click(dialog, "okButton");
        }
        QCOMPARE(f.section("Port.INI", "PortInfo"),
                 QString("FilePath=|OECheck=2|TranSpeed=115200|StopBits=0|DataWidth=8|FlowCtrl=6"));
        // The mapping of port names beside the settings stays as it was.
        QCOMPARE(f.value("Port.INI", "PortMap", "COM1"), f.dir.file("tty"));

        CPortSettingsDialog again(f.portFile);
        QCOMPARE(shown(again, {"speedList", "parityList"}), QString("115200|偶较验"));
    }

    void portSettingsShowTheStoredLineRestoreAndKeepWhatTheListsDoNotOffer()
    {
        DialogFixture f;
        const std::string stored = "[PortInfo]\nFlowCtrl=5\nTranSpeed=31250\nStopBits=2\nDataWidth=9\n";
        f.dir.write("Port.INI", stored);
        {
            CPortSettingsDialog dialog(f.portFile);
            dialog.show();
            const auto line = [&dialog] {
                return shown(dialog, {"speedList", "parityList", "dataBitsList", "stopBitsList",
                                      "rtsCtsCheck", "xonXoffCheck", "dtrDsrCheck"});
            };
            // Speeds and data bits the lists do not offer leave them without a selection.
            QCOMPARE(line(), QString("|无较验||2|off|on|on"));
            click(dialog, "restoreButton");
            QCOMPARE(line(), QString("9600|无较验|8|1|on|off|off"));
            click(dialog, "cancelButton");
            QCOMPARE(f.text("Port.INI"), stored);
        }
        CPortSettingsDialog dialog(f.portFile);
        dialog.show();
        click(dialog, "okButton");
        QCOMPARE(f.values("Port.INI", "PortInfo", {"TranSpeed", "DataWidth"}), QString("31250|9"));
    }

    void reloadPaperRefusesNothingLeftSwitchesUnitsAtOnceAndTruncatesInches()
    {
        DialogFixture f;
        f.dir.write("Server.INI", "[SYSTEM]\nunit=0\n");
        {
            CReloadPaperDialog dialog(f.settings);
            dialog.show();
            QCOMPARE(child<QComboBox>(dialog, "rollTypeList")->currentIndex(), 3);
            QCOMPARE(shown(dialog, {"widthEdit", "millimetreRadio"}), QString("1800|on"));
            // Nothing left on the roll is refused without a message, and nothing changes.
            typeInto(child<QLineEdit>(dialog, "widthEdit"), "1200");
            typeInto(child<QLineEdit>(dialog, "lengthEdit"), "0");
            click(dialog, "okButton");
            QVERIFY(dialog.isVisible());
            QVERIFY(f.messages.empty());
            QCOMPARE(f.server.MediaWidth, 1800);
            QCOMPARE(f.text("Server.INI"), std::string("[SYSTEM]\nunit=0\n"));

            // The unit changes in memory at once and the stored values show again; Cancel takes it back.
            clickBox(child<QRadioButton>(dialog, "inchRadio"));
            QCOMPARE(shown(dialog, {"widthEdit", "lengthEdit"}), QString("70.8661|5905.5118"));
            QCOMPARE(f.server.unit, 1);
            QCOMPARE(f.paneTexts, std::vector<std::string>{"Remain Length:5905.5118 Inch"});
            click(dialog, "cancelButton");
            QCOMPARE(f.server.unit, 0);
            QCOMPARE(f.paneTexts.back(), std::string("Remain Length:150000 mm"));
            QCOMPARE(f.value("Server.INI", "SYSTEM", "unit"), std::string("0"));
        }
        {
            // A roll type sets its width, in the unit shown.
            CReloadPaperDialog dialog(f.settings);
            dialog.show();
            child<QComboBox>(dialog, "rollTypeList")->setCurrentIndex(2);
            emit child<QComboBox>(dialog, "rollTypeList")->activated(2);
            QCOMPARE(shown(dialog, {"widthEdit"}), QString("1828"));
            clickBox(child<QRadioButton>(dialog, "inchRadio"));
            emit child<QComboBox>(dialog, "rollTypeList")->activated(0);
            QCOMPARE(shown(dialog, {"widthEdit"}), QString("36.0000"));
            click(dialog, "okButton");
            QCOMPARE(f.server.MediaWidth, 914);
        }
        CReloadPaperDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(shown(dialog, {"inchRadio"}), QString("on"));
        typeInto(child<QLineEdit>(dialog, "widthEdit"), "72");
        click(dialog, "okButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // The length was left as shown: it stays exactly as it was, not one millimetre short.
        QCOMPARE(f.section("Server.INI", "SYSTEM"),
                 QString("unit=1|MediaWidth=1828|REMAINMEDIALENGTH=150000"));
        QCOMPARE(f.paneTexts.back(), std::string("Remain Length:5905.5118 Inch"));
        QCOMPARE(f.listRefreshes, 2);
        QVERIFY(f.messages.empty());
    }

    // A Server.INI that cannot be written is said, not taken as saved; the values stay in effect.
    void settingsThatCannotBeWrittenAreReported()
    {
        DialogFixture f;
        // A file where the folder should be: no one, not even root, can write Server.INI.
        f.dir.write("blocked", "");
        f.serverFile.setPath(f.dir.file("blocked/Server.INI").c_str());
        {
            CReloadPaperDialog dialog(f.settings);
            dialog.show();
            typeInto(child<QLineEdit>(dialog, "lengthEdit"), "90000");
            click(dialog, "okButton");
            QCOMPARE(f.server.REMAINMEDIALENGTH, 90000);
        }
        {
            CPathDialog dialog(f.settings);
            click(dialog, "okButton");
        }
        QCOMPARE(f.messages.size(), std::size_t(2));
        QCOMPARE(f.messages.front(), "无法写入 " + f.dir.file("blocked/Server.INI") + ", 设置未能保存!");
    }

    // A fresh install shows the folders the intake scans and the rule the program deletes by, so that a
    // plain OK changes nothing; a folder picked inside a drive folder comes back in its Windows form.
    void pathDialogShowsTheValuesInEffectBrowsesAndStoresFoldersAsTypedInKeyOrder()
    {
        DialogFixture f;
        const QString folder = QString::fromStdString(f.dir.path().string());
        f.server.AutoDeleType = 5;
        platform::setProgramFolder(f.dir.path().string()); // no Tools.so here
        {
            CPathDialog dialog(f.settings);
            dialog.show();
            QVERIFY(!child<QPushButton>(dialog, "automaticBrowseButton")->isEnabled());
            QVERIFY(!child<QPushButton>(dialog, "manualBrowseButton")->isEnabled());
            QCOMPARE(shown(dialog, {"automaticEdit", "manualEdit"}), QString("C:\\Receive|C:\\Receive2"));
            QCOMPARE(child<QComboBox>(dialog, "receiveRuleList")->currentIndex(), 1);
            QCOMPARE(child<QComboBox>(dialog, "backupRuleList")->currentIndex(), 0);
            QVERIFY(!child<QLineEdit>(dialog, "backupEdit")->isVisible());
            QCOMPARE(f.server.AutoDeleType, 1); // opening takes the rule in effect
            click(dialog, "okButton");
            QCOMPARE(f.section("Server.INI", "Receive"),
                     QString("AReceivePath=C:\\Receive|MReceivePath=C:\\Receive2|AutoDeleType=1"));
        }
        {
            CPathDialog dialog(f.settings);
            // The warning shows while the folder typed does not exist.
            QVERIFY(child<QLabel>(dialog, "automaticWarning")->isVisibleTo(&dialog));
            typeInto(child<QLineEdit>(dialog, "automaticEdit"), folder);
            QVERIFY(!child<QLabel>(dialog, "automaticWarning")->isVisibleTo(&dialog));
        }

        f.dir.write("Server.INI", "[Receive]\nAutoDeleType=8\n[BackUp]\nAutoDeleType=3\n");
        std::filesystem::copy_file(MARQUILL_BIN_DIR "/Tools.so", f.dir.file("Tools.so"));
        std::filesystem::create_directories(f.dir.file("drive_d/Plots/In"));
        CPathDialog dialog(f.settings);
        dialog.show();
        QCOMPARE(child<QComboBox>(dialog, "receiveRuleList")->currentIndex(), -1);
        typeInto(child<QLineEdit>(dialog, "automaticEdit"), "D:\\Plots\\Out");
        const auto pick = [](const QString& chosen, QString* title) {
            QTimer::singleShot(0, [chosen, title] {
                auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(picker != nullptr);
                *title = picker->windowTitle();
                picker->setDirectory(chosen);
                picker->selectFile(chosen);
                static_cast<QDialog*>(picker)->accept();
            });
        };
        QString title;
        pick(folder, &title);
        click(dialog, "manualBrowseButton");
        QCOMPARE(title, QString("手动绘图 - 路径"));
        pick(QString::fromStdString(f.dir.file("drive_d/Plots/In")), &title);
        click(dialog, "automaticBrowseButton");
        platform::setProgramFolder("");
        QCOMPARE(shown(dialog, {"automaticEdit"}), QString("D:\\Plots\\In"));
        click(dialog, "okButton");
        // A rule the list has no entry for survives a confirmation that did not touch it.
        QCOMPARE(f.section("Server.INI", "Receive"),
                 "AutoDeleType=8|AReceivePath=D:\\Plots\\In|MReceivePath=" + folder);
        QCOMPARE(f.values("Server.INI", "BackUp", {"BackUpPath", "AutoDeleType"}), QString("C:\\BackUp|3"));
        QCOMPARE(f.server.AutoDeleType, 8);
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "SmallDialogsTest.moc"
