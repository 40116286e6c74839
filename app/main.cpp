// marquill: the plot-output server's window.

#include "app/CRunningInstance.h"
#include "app/CServerApp.h"
#include "app/QtHooks.h"
#include "platform/Hooks.h"
#include "platform/ProgramFolder.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <QApplication>
#include <QProcess>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    app::installQtHooks();
    const std::string folder = platform::programFolder();
    CServerApp server(folder, folder);
    switch (server.InitInstance()) {
    case CServerApp::StartResult::Left:
        return 0;
    case CServerApp::StartResult::Locked:
        // A window holding the folder comes to the front instead; only marquill-plot or marquill-server
        // holding it is worth a message.
        if (CRunningInstance::knock(folder))
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
