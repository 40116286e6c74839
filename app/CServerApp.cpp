#include "app/CServerApp.h"

#include "app/CAboutBox.h"
#include "app/CLogoDialog.h"
#include "app/CMainFrame.h"
#include "app/CRunningInstance.h"
#include "app/FrameCommandIds.h"
#include "output/ServerFileKeys.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <QApplication>
#include <QLibraryInfo>

#include <new>

CServerApp::CServerApp(std::string settingsFolder, std::string libraryFolder)
    : settingsFolder_(std::move(settingsFolder)), libraryFolder_(std::move(libraryFolder)),
      settings_(std::make_unique<StartupSettings>())
{
    askLogo_ = [] { return CLOGODLG().exec() == QDialog::Accepted; };
    const auto outputIdle = [this] { return frame_ == nullptr || !frame_->isOutputting(); };
    commands_.add({ID_APP_ABOUT, ID_APP_ABOUT, [this] { showAbout(); }, {}});
    commands_.add(
        {ID_LANGUAGE_ENGLISH, ID_LANGUAGE_ENGLISH, [this] { switchLanguage(LANGUAGE_ENGLISH); }, outputIdle});
    commands_.add(
        {ID_LANGUAGE_CHINESE, ID_LANGUAGE_CHINESE, [this] { switchLanguage(LANGUAGE_CHINESE); }, outputIdle});
}

CServerApp::~CServerApp()
{
    instance_.reset();
    frame_.reset();
    ExitInstance();
}

CServerApp::StartResult CServerApp::InitInstance()
{
    if (installedEdition(settingsFolder_) == 3) {
        useStartupLanguage();
        if (!askLogo_())
            return StartResult::Left;
    }
    // One spooler per settings folder: marquill-plot or marquill-server may be plotting from it.
    if (!lock_.take(settingsFolder_)) {
        useStartupLanguage();
        return StartResult::Locked;
    }

    loadStartupSettings(settingsFolder_, *settings_, libraryFolder_);
    saveChosenLanguage(*settings_);
    loadCatalogue();

    try {
        frame_ = std::make_unique<CMainFrame>(*settings_, commands_);
    } catch (const std::bad_alloc&) {
        return StartResult::FrameFailed;
    }
    frame_->setWindowIcon(
        QIcon(QStringLiteral(":/icons/edition/%1.svg").arg(editionIconId(settings_->edition))));
    // The title comes from the current texts, so it is English with the language library; at most 79
    // characters.
    frame_->setWindowTitle(
        QString::fromUtf8(strings::localString(editionTitleId(settings_->edition))).left(79));
    frame_->restorePlacement();
    frame_->restoreQueue();
    frame_->show();
    // A second start on this folder brings this window to the front.
    instance_ = std::make_unique<CRunningInstance>();
    instance_->listen(settingsFolder_, [frame = frame_.get()] {
        if (frame->isMinimized())
            frame->showNormal();
        frame->raise();
        frame->activateWindow();
    });
    return StartResult::Started;
}

void CServerApp::useStartupLanguage()
{
    if (startupLanguage(settingsFolder_) == LANGUAGE_CHINESE || settings_->languageLibrary.isLoaded())
        return;
    if (settings_->languageLibrary.load(libraryFolder_))
        loadCatalogue();
}

std::string CServerApp::lockMessage() const
{
    if (lock_.holder() <= 0)
        return lock_.refusal();
    return fillPlaceholders(strings::localString(strings::IDS_ALREADY_RUNNING),
                            {settingsFolder_, std::to_string(lock_.holder())});
}

void CServerApp::loadCatalogue()
{
    // Loaded again with the settings: the catalogue's texts live in the library, which is loaded anew.
    removeCatalogues();
    // Qt speaks English on its own; in Chinese its dialogs and buttons take the system's Qt catalogue.
    if (settings_->language == LANGUAGE_CHINESE &&
        qtTranslator_.load(QStringLiteral("qt_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtTranslatorInstalled_ = QCoreApplication::installTranslator(&qtTranslator_);
    using Catalogue = const unsigned char* (*)(unsigned*);
    const auto catalogue =
        reinterpret_cast<Catalogue>(settings_->languageLibrary.findSymbol("ResEngCatalogue"));
    if (catalogue == nullptr)
        return;
    unsigned size = 0;
    const unsigned char* data = catalogue(&size);
    if (data != nullptr && translator_.load(data, static_cast<int>(size)))
        translatorInstalled_ = QCoreApplication::installTranslator(&translator_);
}

void CServerApp::removeCatalogues()
{
    if (translatorInstalled_) {
        QCoreApplication::removeTranslator(&translator_);
        translatorInstalled_ = false;
    }
    if (qtTranslatorInstalled_) {
        QCoreApplication::removeTranslator(&qtTranslator_);
        qtTranslatorInstalled_ = false;
    }
}

void CServerApp::ExitInstance()
{
    removeCatalogues();
    settings_->languageLibrary.unload();
}

bool CServerApp::switchLanguage(int language)
{
    // Ending the program in the middle of a copy would leave the device with half a job and lose the
    // media count; the switch waits until the output is stopped or done.
    if (frame_ != nullptr && frame_->isOutputting()) {
        frame_->showRefusal(strings::IDS_LANGUAGE_REFUSED);
        return false;
    }
    settings_->language = language;
    writeSetting(settings_->serverFile, SystemKeys::Language, language);
    saveMediaSettings(*settings_);
    if (frame_ != nullptr) {
        frame_->savePlacement();
        frame_->saveQueue();
    }
    restartRequested_ = true;
    QCoreApplication::exit(0);
    return true;
}

void CServerApp::showAbout()
{
    CAboutBox box(settings_->edition, frame_.get());
    box.exec();
}
