#pragma once

#include "ShippedFiles.h"
#include "TempDir.h"

#include "app/CMainFrame.h"
#include "app/CServerApp.h"
#include "platform/CProfile.h"
#include "ui/views/CAutoChildView.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QTimerEvent>
#include <QtGlobal>

#include <filesystem>
#include <memory>
#include <string>

// A program folder of its own for a test: the shipped device-profile files copied in, and whatever INI
// values the test writes. The language library is taken from the build's program folder unless the test
// names another folder.
class WindowHome {
public:
    WindowHome() { copyShippedFiles(dir.path()); }

    std::string folder() const { return dir.path().string() + "/"; }
    void setInt(const char* file, const char* section, const char* key, int value) const
    {
        profile(file).setInt(section, key, value);
    }
    void setString(const char* file, const char* section, const char* key, const std::string& value) const
    {
        profile(file).setString(section, key, value.c_str());
    }
    int getInt(const char* file, const char* section, const char* key, int fallback) const
    {
        return profile(file).getInt(section, key, fallback);
    }

    TempDir dir;

private:
    CProfile profile(const char* file) const
    {
        CProfile p;
        p.setPath((folder() + file).c_str());
        return p;
    }
};

// The user's locale for the life of the object; the system's language is read from it at start-up.
class Locale {
public:
    explicit Locale(const char* name)
    {
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", name);
    }
    ~Locale() { qputenv("LANG", "C.UTF-8"); }
};

// Lists the files of the automatic receive folder at two ticks of the list's receive timer, the settle time
// apart on a clock of the test's own: the window lists a file once its scans saw it unchanged that long.
inline void listReceivedFiles(CMainFrame& frame)
{
    auto steady = std::make_shared<FileSettle::TimePoint>();
    frame.intake().setSettleClock([steady] { return *steady; });
    for (int tick = 0; tick < 2; ++tick) {
        *steady += FileSettle::SETTLE_TIME * tick;
        QTimerEvent event(frame.automaticView()->receiveTimerId());
        QCoreApplication::sendEvent(frame.automaticView(), &event);
    }
}

// Starts the window over the home as the program does and waits until it is shown; the test ends when
// it does not start.
inline CMainFrame& startWindow(std::unique_ptr<CServerApp>& app, const WindowHome& home)
{
    app = std::make_unique<CServerApp>(home.folder(), MARQUILL_BIN_DIR "/");
    if (app->InitInstance() != CServerApp::StartResult::Started)
        qFatal("the window did not start");
    if (!QTest::qWaitForWindowExposed(app->mainFrame()))
        qFatal("the window was not shown");
    return *app->mainFrame();
}
