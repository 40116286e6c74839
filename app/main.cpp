// marquill: the plot-output server's window.

#include "app/CRunningInstance.h"
#include "app/CServerApp.h"
#include "app/QtHooks.h"
#include "platform/Hooks.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsHome.h"
#include "platform/Version.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QProcess>

#include <string_view>

namespace {

// The folder given with --home, empty without one. --help and --version are answered here and end the
// program.
std::string givenHome(const QCoreApplication& application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Marquill, the plot-output server for pen and cutting plotters"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption home(
        QStringLiteral("home"),
        QStringLiteral("Read and write the settings files in <dir> (default: $MARQUILL_HOME, "
                       "else the program folder when it can be written, else "
                       "$XDG_DATA_HOME/marquill)."),
        QStringLiteral("dir"));
    parser.addOption(home);
    parser.process(application);
    return parser.value(home).toStdString();
}

// --help and --version need no display: they are answered before the window's application exists.
bool asksForText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h" || argument == "--help-all" || argument == "--version" ||
            argument == "-v")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationVersion(QString::fromUtf8(MARQUILL_VERSION));
    if (asksForText(argc, argv)) {
        const QCoreApplication textOnly(argc, argv);
        givenHome(textOnly);
    }
    QApplication application(argc, argv);
    const std::string given = givenHome(application);
    app::installQtHooks();
    std::string error;
    const std::string home = platform::openSettingsHome(given, platform::HomeFallback::UserData, error);
    if (home.empty()) {
        platform::messageBox(error, {}, platform::MB_ICONSTOP);
        return 1;
    }
    CServerApp server(home, platform::programFolder());
    switch (server.InitInstance()) {
    case CServerApp::StartResult::Left:
        return 0;
    case CServerApp::StartResult::Locked:
        // A window holding the folder comes to the front instead; only marquill-plot or marquill-server
        // holding it is worth a message.
        if (CRunningInstance::knock(home))
            return 0;
        platform::messageBox(server.lockMessage(), {}, platform::MB_ICONSTOP);
        return 1;
    case CServerApp::StartResult::FrameFailed:
        platform::messageBox(strings::localString(strings::IDS_FRAME_FAILED), {}, platform::MB_ICONSTOP);
        return 1;
    case CServerApp::StartResult::Started:
        break;
    }
    const int status = QApplication::exec();
    server.ExitInstance();
    // After a language switch the program starts again, in the new language.
    if (server.restartRequested())
        QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                QCoreApplication::arguments().mid(1));
    return status;
}
