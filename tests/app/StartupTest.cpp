// Start-up of the window: language, edition files, the language library and the logo question.

#include "WindowTestSupport.h"

#include "app/CommandIds.h"
#include "platform/ProgramFolder.h"
#include "res/strings/StringTable.h"

#include <QMenuBar>
#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void init() { platform::setProgramFolder(MARQUILL_BIN_DIR); }
    void cleanup() { platform::setProgramFolder(""); }

    void noLanguageAndAChineseLocaleStartsChineseAndWritesIt()
    {
        Locale locale("zh_CN.UTF-8");
        WindowHome home;
        CServerApp app(home.folder(), MARQUILL_BIN_DIR "/");
        QCOMPARE(app.InitInstance(), CServerApp::StartResult::Started);
        QCOMPARE(home.getInt("Server.INI", "SYSTEM", "Language", 0), 2052);
        QVERIFY(std::string(app.settings().deviceFile.path()).ends_with("/Plotter.INI"));
        QCOMPARE(app.mainFrame()->windowTitle(), QStringLiteral("绘图仪输出管理中心V0.05"));
        QCOMPARE(app.mainFrame()->menuBar()->actions().front()->text(), QStringLiteral("文件(&F)"));
        QVERIFY(app.mainFrame()->action(ID_LANGUAGE_CHINESE)->isChecked());
        QVERIFY(!app.mainFrame()->action(ID_LANGUAGE_ENGLISH)->isChecked());
    }

    void englishWithEditionOneReadsItsEnglishFileAndShowsEnglishTexts()
    {
        WindowHome home;
        home.setInt("Server.INI", "SYSTEM", "Language", 1033);
        home.setInt("Install.INI", "Install", "Edition", 1);
        CServerApp app(home.folder(), MARQUILL_BIN_DIR "/");
        QCOMPARE(app.InitInstance(), CServerApp::StartResult::Started);
        QVERIFY(std::string(app.settings().deviceFile.path()).ends_with("/PlotterTZ_Eng.INI"));
        CMainFrame& frame = *app.mainFrame();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Vestora Output Manager V0.05"));
        QCOMPARE(frame.menuBar()->actions().front()->text(), QStringLiteral("&File"));
        QCOMPARE(frame.promptPane()->text(), QStringLiteral("Ready"));
        QCOMPARE(frame.mediaPane()->text(), QStringLiteral("Remaining media:150000 mm"));
        QVERIFY(frame.action(ID_LANGUAGE_ENGLISH)->isChecked());
        // Job results stay in the program's own texts.
        QCOMPARE(QString::fromUtf8(strings::programString(32788)), QStringLiteral("空的工作数据项!"));
        app.ExitInstance();
        QCOMPARE(QString::fromUtf8(strings::localString(20600)), QStringLiteral("就绪"));
    }

    void aLanguageBelowSixteenIsReplacedByTheSystems()
    {
        Locale locale("en_GB.UTF-8");
        WindowHome home;
        home.setInt("Server.INI", "SYSTEM", "Language", 5);
        CServerApp app(home.folder(), MARQUILL_BIN_DIR "/");
        QCOMPARE(app.InitInstance(), CServerApp::StartResult::Started);
        QCOMPARE(home.getInt("Server.INI", "SYSTEM", "Language", 0), 1033);
        QVERIFY(std::string(app.settings().deviceFile.path()).ends_with("/Plotter_Eng.INI"));
    }

    void withoutTheLanguageLibraryTheProgramStaysChinese()
    {
        WindowHome home;
        home.setInt("Server.INI", "SYSTEM", "Language", 1033);
        CServerApp app(home.folder(), home.folder());
        QCOMPARE(app.InitInstance(), CServerApp::StartResult::Started);
        QCOMPARE(app.mainFrame()->windowTitle(), QStringLiteral("绘图仪输出管理中心V0.05"));
        QCOMPARE(app.mainFrame()->menuBar()->actions().front()->text(), QStringLiteral("文件(&F)"));
    }

    void aSecondWindowOnTheSameSettingsIsRefused()
    {
        WindowHome home;
        CServerApp first(home.folder(), MARQUILL_BIN_DIR "/");
        QCOMPARE(first.InitInstance(), CServerApp::StartResult::Started);
        CServerApp second(home.folder(), MARQUILL_BIN_DIR "/");
        QCOMPARE(second.InitInstance(), CServerApp::StartResult::Locked);
        QVERIFY(!second.lockRefusal().empty());
        QVERIFY(second.mainFrame() == nullptr);
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
