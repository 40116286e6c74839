// marquill-screenshots: renders the window offscreen into PNG files, so that people can look at it
// without a display. One function per screenshot set; scripts/screenshots.sh runs every set in Chinese
// and in English.
//
//     marquill-screenshots SET LANGUAGE OUTPUT_FOLDER      (LANGUAGE 2052 or 1033)

#include "ShippedFiles.h"
#include "TempDir.h"

#include "app/CMainFrame.h"
#include "app/CServerApp.h"
#include "app/CopyProgressPane.h"
#include "app/WindowPlacement.h"
#include "jobs/RunTexts.h"
#include "platform/CProfile.h"
#include "platform/FileTime.h"
#include "platform/ProgramFolder.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"
#include "ui/dialogs/CHalfCutDialog.h"
#include "ui/dialogs/COutputSettingsDialog.h"
#include "ui/dialogs/CPathDialog.h"
#include "ui/dialogs/CPortSettingsDialog.h"
#include "ui/dialogs/CReloadPaperDialog.h"
#include "ui/preview/CDetailPreviewDlg.h"
#include "ui/preview/CPlotInfoView.h"
#include "ui/views/CAutoChildView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QStatusBar>
#include <QStyleFactory>
#include <QThread>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace fs = std::filesystem;

namespace {

// A program folder of its own: the shipped INI files and a receive folder with a few drawings.
struct ScreenHome {
    TempDir dir;
    std::string receive = dir.file("receive");

    explicit ScreenHome(int language)
    {
        copyShippedFiles(dir.path());
        fs::create_directory(receive);
        CProfile server;
        server.setPath(dir.file("Server.INI").c_str());
        server.setInt("SYSTEM", "Language", language);
        server.setInt("SYSTEM", "REMAINMEDIALENGTH", 48750);
        server.setString("Receive", "AReceivePath", receive.c_str());
        server.setString("Receive", "MReceivePath", dir.file("manual").c_str());
        fs::create_directory(dir.file("manual"));
    }

    void drop(const std::string& folder, const std::string& name, int width, std::time_t modified)
    {
        const std::string path =
            dir.write(folder + "/" + name, "IN;SP1;PU0,0;PD" + std::to_string(width) + ",0," +
                                               std::to_string(width) + ",8000,0,8000,0,0;PU;SP0;");
        platform::setFileModifiedTime(path, modified);
    }
};

// Lets the information view's estimate arrive, for at most half a minute.
void awaitEstimate(CMainFrame& frame)
{
    QElapsedTimer waited;
    waited.start();
    while (frame.infoView()->estimating() && waited.elapsed() < 30000) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
}

// Lists what the receive folders hold as the window's scans do once they have seen it unchanged for the
// settle time, on a clock of the screenshots' own.
void listReceived(CMainFrame& frame, bool manualToo)
{
    auto steady = std::make_shared<FileSettle::TimePoint>();
    frame.intake().setSettleClock([steady] { return *steady; });
    for (int scan = 0; scan < 2; ++scan) {
        *steady += FileSettle::SETTLE_TIME * scan;
        frame.intake().pollAutomatic();
        if (manualToo)
            frame.intake().pollManual();
    }
}

// The main window with a job in each state, one of them running.
void mainWindow(CServerApp& app, ScreenHome& home, const QString& out)
{
    const std::time_t hourAgo = std::time(nullptr) - 3600;
    home.drop("receive", "banner-front.plt", 40000, hourAgo);
    home.drop("receive", "shop-window-lettering-with-a-rather-long-file-name.plt", 24000, hourAgo);
    home.drop("receive", "logo-small.plt", 8000, hourAgo);
    home.drop("receive", "van-side-panel.plt", 60000, hourAgo);
    home.drop("receive", "window-sticker.plt", 6000, hourAgo);
    home.drop("receive", "yesterday.plt", 12000, platform::localMidnight(hourAgo));
    home.drop("manual", "sample-manual.plt", 16000, hourAgo);

    CMainFrame& frame = *app.mainFrame();
    frame.resize(1100, 680);
    frame.applySplitterSizes(frame.centralWidget()->height());
    listReceived(frame, true);
    CAutoJobList& list = frame.automaticList();
    for (int row = 0; row < list.rowCount(); ++row)
        frame.automaticView()->clickRow(row);
    list.jobAt(1)->options |= CPlotJob::OPTION_HALF_CUT;
    list.jobAt(1)->copies = 3;
    list.jobAt(1)->copiesDone = 1;
    list.jobAt(2)->state = CPlotJob::STATE_FAILED;
    list.jobAt(2)->messageId = 32779;
    list.jobAt(4)->state = CPlotJob::STATE_STANDBY;
    list.setRunMode(4);
    list.setRunningJob(3);
    list.setProgressText(3, progressText(490, 990));
    frame.automaticView()->clickRow(1);
    frame.showRemainingMedia();
    awaitEstimate(frame);
    QApplication::processEvents();
    frame.grab().save(out);
    // The same at the size the window first opens with.
    frame.resize(WindowPlacement::FIRST_WIDTH, WindowPlacement::FIRST_HEIGHT);
    frame.applySplitterSizes(frame.centralWidget()->height());
    QApplication::processEvents();
    frame.grab().save(QString(out).replace("window_", "window-default_"));
}

// The detail preview of three real drawings, at fit and zoomed in by dragging over the middle quarter of
// the area: one with curves, one with labels, one with several pens.
void previewWindows(CServerApp&, ScreenHome&, const QString& out)
{
    const std::pair<const char*, const char*> drawings[] = {
        {"curves", "ci.hp"}, {"labels", "HP8595E-FM.hpgl"}, {"pens", "inter.hp"}};
    for (const auto& [name, file] : drawings) {
        CPlotJob job;
        std::snprintf(job.path, sizeof job.path, "%s/%s", MARQUILL_PLOTS_DIR, file);
        CDetailPreviewDlg dialog;
        dialog.setJob(job);
        dialog.grab().save(QString(out).replace("preview_", QStringLiteral("preview-%1-fit_").arg(name)));
        QWidget* area = dialog.previewArea();
        const QPoint from(area->width() * 3 / 8, area->height() * 3 / 8);
        const QPoint to(area->width() * 5 / 8, area->height() * 5 / 8);
        for (const auto& [type, at] :
             {std::pair{QEvent::MouseButtonPress, from}, std::pair{QEvent::MouseMove, to},
              std::pair{QEvent::MouseButtonRelease, to}}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(at), area->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(area, &event);
        }
        dialog.grab().save(QString(out).replace("preview_", QStringLiteral("preview-%1-zoomed_").arg(name)));
    }
}

// Each settings dialog as the menu opens it, over the shipped default settings.
void settingsDialogs(CServerApp& app, ScreenHome&, const QString& out)
{
    SettingsContext& settings = app.mainFrame()->dialogSettings();
    const auto save = [&out](QDialog&& dialog, const char* name) {
        dialog.grab().save(QString(out).replace("dialogs_", QStringLiteral("dialog-%1_").arg(name)));
    };
    save(COutputSettingsDialog(settings), "output");
    save(CPortSettingsDialog(settings.portFile), "port");
    save(CPathDialog(settings), "path");
    save(CReloadPaperDialog(settings), "reload-paper");
    save(CHalfCutDialog(settings), "half-cut");
}

// What the window offers beside its first layout: the File menu with Add, a row's context menu, the
// status bar with the roll, and the detail preview enlarged.
void comforts(CServerApp& app, ScreenHome& home, const QString& out)
{
    const std::time_t hourAgo = std::time(nullptr) - 3600;
    home.drop("receive", "banner-front.plt", 40000, hourAgo);
    home.drop("receive", "logo-small.plt", 8000, hourAgo);
    CMainFrame& frame = *app.mainFrame();
    frame.resize(1100, 680);
    listReceived(frame, false);
    frame.automaticView()->clickRow(0);
    awaitEstimate(frame);
    app.settings().server.REMAINMEDIALENGTH = 42000;
    frame.showRemainingMedia();
    const auto name = [&out](const char* what) {
        return QString(out).replace("comforts_", QStringLiteral("comforts-%1_").arg(what));
    };
    const auto shootMenu = [&name](QMenu* menu, const char* what) {
        menu->popup(QPoint(0, 0));
        QApplication::processEvents();
        menu->grab().save(name(what));
        menu->hide();
    };
    shootMenu(frame.menuBar()->actions().front()->menu(), "file-menu");
    const std::unique_ptr<QMenu> rowMenu = frame.rowMenu(frame.automaticView(), 0);
    shootMenu(rowMenu.get(), "row-menu");
    QApplication::processEvents();
    frame.statusBar()->grab().save(name("status-bar"));

    CPlotJob job;
    std::snprintf(job.path, sizeof job.path, "%s/%s", MARQUILL_PLOTS_DIR, "inter.hp");
    CDetailPreviewDlg dialog;
    dialog.resize(1000, 720);
    dialog.setJob(job);
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(name("preview-large"));
}

// A real drawing of three copies selected, its plotting time in the information view, and its second
// copy in output, with the progress pane in the status bar; the window and the status bar alone.
void copyProgress(CServerApp& app, ScreenHome& home, const QString& out)
{
    fs::copy_file(fs::path(MARQUILL_PLOTS_DIR) / "foal.hpgl", fs::path(home.receive) / "foal.hpgl");
    platform::setFileModifiedTime(home.receive + "/foal.hpgl", std::time(nullptr) - 3600);
    CMainFrame& frame = *app.mainFrame();
    frame.resize(1100, 680);
    frame.applySplitterSizes(frame.centralWidget()->height());
    listReceived(frame, false);
    CAutoJobList& list = frame.automaticList();
    list.jobAt(0)->copies = 3;
    list.jobAt(0)->copiesDone = 1;
    frame.automaticView()->clickRow(0);
    // The information view while the estimate is made, then with it.
    QApplication::processEvents();
    frame.infoView()->grab().save(QString(out).replace("progress_", "progress-information-estimating_"));
    awaitEstimate(frame);
    const QString name = QString(out).replace("progress_", "progress-window_");
    list.setRunMode(4);
    list.setRunningJob(0);
    list.setProgressText(0, progressText(0, 500));
    const CopyEstimate estimate = list.jobAt(0)->estimate;
    CopyProgress progress;
    progress.running = true;
    progress.copy = 2;
    progress.copies = 3;
    progress.bytesTotal = estimate.bytes;
    progress.bytesSent = estimate.bytes * 42 / 100;
    progress.secondsTotal = estimate.seconds;
    progress.secondsLeft = estimate.seconds * 0.58;
    frame.copyProgressPane()->showProgress(progress);
    frame.showRemainingMedia();
    QApplication::processEvents();
    frame.grab().save(name);
    frame.statusBar()->grab().save(QString(out).replace("progress_", "progress-status-bar_"));
    frame.infoView()->grab().save(QString(out).replace("progress_", "progress-information_"));
}

// Qt's own dialogs as the window shows them: the file dialog of the File port and a question's buttons.
void qtDialogs(CServerApp&, ScreenHome& home, const QString& out)
{
    QFileDialog files(nullptr, {}, QString::fromStdString(home.receive));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.resize(640, 420);
    files.grab().save(QString(out).replace("qt_", "qt-file-dialog_"));
    QMessageBox question(QMessageBox::Question, QStringLiteral("Marquill"), QStringLiteral("?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    question.grab().save(QString(out).replace("qt_", "qt-message-box_"));
}

const std::map<std::string, std::function<void(CServerApp&, ScreenHome&, const QString&)>> sets = {
    {"comforts", comforts},       {"window", mainWindow}, {"preview", previewWindows},
    {"dialogs", settingsDialogs}, {"qt", qtDialogs},      {"progress", copyProgress},
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 4 || !sets.contains(argv[1])) {
        std::fprintf(stderr, "usage: marquill-screenshots SET LANGUAGE OUTPUT_FOLDER (sets:");
        for (const auto& [name, draw] : sets)
            std::fprintf(stderr, " %s", name.c_str());
        std::fprintf(stderr, ")\n");
        return 2;
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));
    const int language = std::atoi(argv[2]);
    platform::setProgramFolder(MARQUILL_BIN_DIR);
    ScreenHome home(language);
    CServerApp app(home.dir.path().string() + "/", MARQUILL_BIN_DIR "/");
    if (app.InitInstance() != CServerApp::StartResult::Started)
        return 1;
    const QString out = QStringLiteral("%1/%2_%3.png")
                            .arg(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[1]),
                                 language == 2052 ? QStringLiteral("zh") : QStringLiteral("en"));
    sets.at(argv[1])(app, home, out);
    std::printf("%s\n", out.toLocal8Bit().constData());
    return 0;
}
