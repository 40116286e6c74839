#pragma once

#include "TempDir.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "platform/Profile.h"
#include "ui/dialogs/SettingsContext.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <initializer_list>
#include <string>
#include <utility>
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
    decltype(platform::Hooks::messageBox) previousMessageBox;

    DialogFixture()
    {
        serverFile.setPath(dir.file("Server.INI").c_str());
        deviceFile.setPath(dir.file("Plotter.INI").c_str());
        portFile.setPath(dir.file("Port.INI").c_str());
        // Only COM1 stands for a device, a plain file of the folder, so the port list does not depend on
        // the machine's ports.
        std::string portMap = "[PortMap]\nCOM1=" + dir.file("tty") + "\n";
        for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3", "LPT4"})
            portMap += std::string(port) + "=/nonexistent/" + port + "\n";
        dir.write("Port.INI", portMap);
        dir.write("tty", "");
        // Only the message box is replaced, so whatever message step is installed keeps running.
        previousMessageBox =
            platform::installMessageBox([this](const std::string& text, const std::string&, unsigned) {
                messages.push_back(text);
                return platform::IDOK;
            });
        settings.refreshJobLists = [this] { ++listRefreshes; };
        settings.redrawAutomaticList = [this] { ++listRefreshes; };
        settings.showRemainingMedia = [this](const std::string& text) { paneTexts.push_back(text); };
    }
    ~DialogFixture() { platform::installMessageBox(std::move(previousMessageBox)); }

    std::string value(const char* file, const char* section, const char* key) const
    {
        return platform::getProfileString(section, key, "<missing>", dir.file(file));
    }
    // The keys of a section in file order with their values: "key=value|key=value".
    QString section(const char* file, const char* name) const
    {
        QStringList entries;
        for (const std::string& key : platform::getProfileKeyNames(name, dir.file(file)))
            entries << QString::fromStdString(key + '=' + value(file, name, key.c_str()));
        return entries.join('|');
    }
    // The values of some keys of a section: "value|value".
    QString values(const char* file, const char* name, std::initializer_list<const char*> keys) const
    {
        QStringList entries;
        for (const char* key : keys)
            entries << QString::fromStdString(value(file, name, key));
        return entries.join('|');
    }
    std::string text(const char* file) const { return TempDir::read(dir.file(file)); }
};

template <typename T> T* child(QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr)
        qFatal("the dialog has no widget %s", name);
    return widget;
}

// What the named controls show, joined by '|': the text of a line edit or list ("" for a list without a
// selection), "on" or "off" for a check box or radio button.
inline QString shown(QWidget& dialog, std::initializer_list<const char*> names)
{
    QStringList entries;
    for (const char* name : names) {
        QWidget* widget = child<QWidget>(dialog, name);
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            entries << edit->text();
        else if (auto* list = qobject_cast<QComboBox*>(widget))
            entries << list->currentText();
        else
            entries << (child<QAbstractButton>(dialog, name)->isChecked() ? "on" : "off");
    }
    return entries.join('|');
}

inline void click(QWidget& dialog, const char* buttonName)
{
    QTest::mouseClick(child<QAbstractButton>(dialog, buttonName), Qt::LeftButton);
}

// A click on the box or circle itself: the widget may be wider than its box and text.
inline void clickBox(QAbstractButton* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
}

// Replaces the text of a line edit as a user would: select everything and type.
inline void typeInto(QWidget* edit, const QString& text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}
