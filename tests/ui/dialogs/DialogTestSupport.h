#pragma once

#include "TempDir.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "platform/Hooks.h"
#include "platform/Profile.h"
#include "plotdata/CProfile.h"
#include "ui/dialogs/SettingsContext.h"

#include <QAbstractButton>
#include <QTest>
#include <QWidget>

#include <string>
#include <vector>

// A program folder of its own for each test: Server.INI, the device-profile file and Port.INI live in a
// temporary folder, and the settings in memory are fresh records. Message boxes are recorded, not shown.
struct DialogFixture {
    TempDir dir;
    CProfile serverFile;
    CProfile deviceFile;
    CProfile portFile;
    ServerSettings server;
    CCutInfo cutInfo;
    CPlotterDevice device;
    SettingsContext settings{serverFile, deviceFile, portFile, server, cutInfo, device, 0, {}, {}, {}};
    std::vector<std::string> messages;
    std::vector<std::string> paneTexts;
    int listRefreshes = 0;

    DialogFixture()
    {
        serverFile.setPath(dir.file("Server.INI").c_str());
        deviceFile.setPath(dir.file("Plotter.INI").c_str());
        portFile.setPath(dir.file("Port.INI").c_str());
        // Only COM1 stands for a device, a plain file of the folder, so the port list does not depend on
        // the machine's ports.
        dir.write("Port.INI", "[PortMap]\nCOM1=" + dir.file("tty") +
                                  "\nCOM2=/nonexistent/tty2\nCOM3=/nonexistent/tty3\nCOM4=/nonexistent/tty4\n"
                                  "LPT1=/nonexistent/lp1\nLPT2=/nonexistent/lp2\nLPT3=/nonexistent/lp3\n"
                                  "LPT4=/nonexistent/lp4\n");
        dir.write("tty", "");
        platform::Hooks hooks;
        hooks.messageBox = [this](const std::string& text, const std::string&, unsigned) {
            messages.push_back(text);
            return platform::IDOK;
        };
        platform::installHooks(hooks);
        settings.refreshJobLists = [this] { ++listRefreshes; };
        settings.redrawAutomaticList = [this] { ++listRefreshes; };
        settings.showRemainingMedia = [this](const std::string& text) { paneTexts.push_back(text); };
    }
    ~DialogFixture() { platform::resetHooks(); }

    std::string value(const char* file, const char* section, const char* key) const
    {
        return platform::getProfileString(section, key, "<missing>", dir.file(file));
    }
    std::vector<std::string> keys(const char* file, const char* section) const
    {
        return platform::getProfileKeyNames(section, dir.file(file));
    }
};

template <typename T> T* child(QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr)
        qFatal("the dialog has no widget %s", name);
    return widget;
}

inline void click(QWidget& dialog, const char* buttonName)
{
    QTest::mouseClick(child<QAbstractButton>(dialog, buttonName), Qt::LeftButton);
}

// Replaces the text of a line edit as a user would: select everything and type.
inline void typeInto(QWidget* edit, const QString& text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}
