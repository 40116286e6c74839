// Start-up of the window: language, edition files, the language library and the logo question.

#include "WindowTestSupport.h"

#include "app/CAboutBox.h"
#include "app/CLogoDialog.h"
#include "app/CRunningInstance.h"
#include "app/FrameCommandIds.h"
#include "platform/ProgramFolder.h"
#include "res/strings/StringTable.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void init() { platform::setProgramFolder(MARQUILL_BIN_DIR); }
    void cleanup() { platform::setProgramFolder(""); }

    void theLanguageChoosesTheDeviceFileAndTheTexts_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<int>("language"); // 0: not written
        QTest::addColumn<int>("edition");
        QTest::addColumn<bool>("library");
        QTest::addColumn<int>("written");
        QTest::addColumn<QString>("deviceFile");
        // The title, the file menu, the prompt and the media panes.
        QTest::addColumn<QStringList>("texts");
        // The About box's version line, from the project's version.
        QTest::addColumn<QString>("about");
        const QString chineseAbout = QStringLiteral("Marquill 0.04 版");
        const QString englishAbout = QStringLiteral("Marquill Version 0.04");
        const QStringList chinese{QStringLiteral("绘图仪输出管理中心V0.05"), QStringLiteral("文件(&F)"),
                                  QStringLiteral("就绪"), QStringLiteral("剩余材料长度:150000 mm")};
        const auto english = [](const char* title) {
            return QStringList{title, "&File", "Ready", "Remaining media:150000 mm"};
        };
        QTest::newRow("none, the system's Chinese written")
            << QByteArray("zh_CN.UTF-8") << 0 << 0 << true << 2052 << "/Plotter.INI" << chinese
            << chineseAbout;
        QTest::newRow("English, edition 1")
            << QByteArray("C.UTF-8") << 1033 << 1 << true << 1033 << "/PlotterTZ_Eng.INI"
            << english("Vestora Output Manager V0.05") << englishAbout;
        QTest::newRow("below 16, the system's English written")
            << QByteArray("en_GB.UTF-8") << 5 << 0 << true << 1033 << "/Plotter_Eng.INI"
            << english("Plotter Output Manager V0.05") << englishAbout;
        QTest::newRow("English without the language library stays Chinese")
            << QByteArray("C.UTF-8") << 1033 << 0 << false << 1033 << "/Plotter_Eng.INI" << chinese
            << chineseAbout;
    }
    void theLanguageChoosesTheDeviceFileAndTheTexts()
    {
        QFETCH(QByteArray, locale);
        QFETCH(int, language);
        QFETCH(int, edition);
        QFETCH(bool, library);
        QFETCH(int, written);
        QFETCH(QString, deviceFile);
        QFETCH(QStringList, texts);
        QFETCH(QString, about);
        Locale user(locale.constData());
        WindowHome home;
        if (language != 0)
            home.setInt("Server.INI", "SYSTEM", "Language", language);
        if (edition != 0)
            home.setInt("Install.INI", "Install", "Edition", edition);
        CServerApp app(home.folder(), library ? MARQUILL_BIN_DIR "/" : home.folder());
        QCOMPARE(app.InitInstance(), CServerApp::StartResult::Started);
        QCOMPARE(home.getInt("Server.INI", "SYSTEM", "Language", 0), written);
        QVERIFY(QString::fromStdString(app.settings().deviceFile.path()).endsWith(deviceFile));
        CMainFrame& frame = *app.mainFrame();
        QCOMPARE((QStringList{frame.windowTitle(), frame.menuBar()->actions().front()->text(),
                              frame.promptPane()->text(), frame.mediaPane()->text()}),
                 texts);
        QCOMPARE(frame.action(ID_LANGUAGE_ENGLISH)->isChecked(), written != 2052);
        QCOMPARE(frame.action(ID_LANGUAGE_CHINESE)->isChecked(), written == 2052);
        const CAboutBox box(app.settings().edition);
        const QList<QLabel*> labels = box.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [&about](const QLabel* label) { return label->text() == about; }));
        // Qt's own buttons and dialogs speak the program's language.
        const QString qtCancel = written == 2052 ? QStringLiteral("取消") : QStringLiteral("Cancel");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), qtCancel);
        // Job results stay in the program's own texts, and the program's own texts are current again after
        // the end.
        QCOMPARE(QString::fromUtf8(strings::programString(32788)), QStringLiteral("空的工作数据项!"));
        app.ExitInstance();
        QCOMPARE(QString::fromUtf8(strings::localString(20600)), QStringLiteral("就绪"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }

    // A second start on the same settings is refused; it brings the first window to the front, and says
    // in the program's language who holds the folder.
    void aSecondWindowOnTheSameSettingsIsRefusedAndRaisesTheFirst()
    {
        WindowHome home;
        home.setInt("Server.INI", "SYSTEM", "Language", 2052);
        CServerApp first(home.folder(), MARQUILL_BIN_DIR "/");
        QCOMPARE(first.InitInstance(), CServerApp::StartResult::Started);
        CServerApp second(home.folder(), MARQUILL_BIN_DIR "/");
        QCOMPARE(second.InitInstance(), CServerApp::StartResult::Locked);
        QVERIFY(second.mainFrame() == nullptr);
        QCOMPARE(QString::fromStdString(second.lockMessage()),
                 QStringLiteral("Marquill 已在运行: 设置文件夹 %1 正被进程 %2 使用。")
                     .arg(QString::fromStdString(home.folder()))
                     .arg(QCoreApplication::applicationPid()));

        first.mainFrame()->showMinimized();
        QVERIFY(first.mainFrame()->isMinimized());
        QVERIFY(CRunningInstance::knock(home.folder()));
        QTRY_VERIFY(!first.mainFrame()->isMinimized());
        WindowHome nobody;
        QVERIFY(!CRunningInstance::knock(nobody.folder()));
    }

    // The logo comes before the settings, yet speaks their language.
    void theLogoOfEditionThreeSpeaksTheLanguageOfTheSettings()
    {
        WindowHome home;
        home.setInt("Install.INI", "Install", "Edition", 3);
        home.setInt("Server.INI", "SYSTEM", "Language", 1033);
        CServerApp app(home.folder(), MARQUILL_BIN_DIR "/");
        QStringList texts;
        app.setLogoQuestion([&texts] {
            CLOGODLG logo;
            texts << logo.windowTitle();
            for (const QPushButton* button : logo.findChildren<QPushButton*>())
                texts << button->text();
            return true;
        });
        QCOMPARE(app.InitInstance(), CServerApp::StartResult::Started);
        QCOMPARE(texts, (QStringList{"Kestrava Output Center 0.03", "Enter", "Leave"}));
        QCOMPARE(app.mainFrame()->menuBar()->actions().front()->text(), QStringLiteral("&File"));
    }

    void leavingTheLogoOfEditionThreeEndsBeforeAnySettingIsRead()
    {
        WindowHome home;
        home.setInt("Install.INI", "Install", "Edition", 3);
        CServerApp app(home.folder(), MARQUILL_BIN_DIR "/");
        int asked = 0;
        app.setLogoQuestion([&asked] {
            ++asked;
            return false;
        });
        QCOMPARE(app.InitInstance(), CServerApp::StartResult::Left);
        QCOMPARE(asked, 1);
        QVERIFY(!std::filesystem::exists(home.dir.file("Server.INI")));
        QVERIFY(app.mainFrame() == nullptr);
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
