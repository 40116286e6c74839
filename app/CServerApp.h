#pragma once

#include "jobs/CCommandTable.h"
#include "jobs/StartupSettings.h"
#include "platform/HomeFolderLock.h"

#include <QTranslator>

#include <functional>
#include <memory>
#include <string>

class CMainFrame;
class CRunningInstance;

// The application: start-up in its fixed order (logo for edition 3, Server.INI, language, device-profile
// file, language library, settings, main frame, title, shown), the About box and the language switch.
class CServerApp {
public:
    // Left: the logo dialog was left. Locked: another Marquill holds the settings folder (lockRefusal says
    // which). FrameFailed: the main frame could not be created.
    enum class StartResult { Started, Left, Locked, FrameFailed };

    // settingsFolder holds Server.INI and the other INI files, libraryFolder ResEng.so; both end in '/'.
    CServerApp(std::string settingsFolder, std::string libraryFolder);
    ~CServerApp();
    CServerApp(const CServerApp&) = delete;
    CServerApp& operator=(const CServerApp&) = delete;

    StartResult InitInstance();
    // Frees the language library and makes the program's own texts current again.
    void ExitInstance();

    StartupSettings& settings() { return *settings_; }
    const std::string& lockRefusal() const { return lock_.refusal(); }
    // What a refused start says, in the program's language: the folder and the process holding it.
    std::string lockMessage() const;
    CMainFrame* mainFrame() const { return frame_.get(); }
    const CCommandTable& commands() const { return commands_; }

    // Asks the edition-3 logo question; true to enter. The window shows the logo dialog.
    void setLogoQuestion(std::function<bool()> ask) { askLogo_ = std::move(ask); }
    // A language switch ended the event loop: the program is to start again once this one has ended.
    bool restartRequested() const { return restartRequested_; }

    // The language switch: refused while a copy is output; otherwise writes Language and the media
    // settings and ends the event loop; the program then starts again in the new language.
    bool switchLanguage(int language);
    void showAbout();

private:
    // Before the settings are loaded (the logo, a refused start): the texts of the settings' language.
    void useStartupLanguage();
    void loadCatalogue();
    void removeCatalogues();

    std::string settingsFolder_;
    std::string libraryFolder_;
    platform::HomeFolderLock lock_;
    std::unique_ptr<StartupSettings> settings_;
    QTranslator translator_;
    bool translatorInstalled_ = false;
    // Qt's own texts (file dialog, message-box buttons) in the program's language.
    QTranslator qtTranslator_;
    bool qtTranslatorInstalled_ = false;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<CRunningInstance> instance_;
    CCommandTable commands_;
    std::function<bool()> askLogo_;
    bool restartRequested_ = false;
};
