// What the window offers beyond the lists and commands it was built with: files added by menu or drop,
// the context menu of a row, the place the window was left in, and the question to reload a roll that
// ran short.

#include "app/CMainFrame.h"

#include "app/MediaBar.h"
#include "app/WindowPlacement.h"
#include "jobs/JobCommandIds.h"
#include "jobs/QueueStore.h"
#include "jobs/StartupSettings.h"
#include "platform/Hooks.h"
#include "platform/PathMapping.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"
#include "ui/models/CJobListModel.h"
#include "ui/preview/CDetailPreviewDlg.h"
#include "ui/views/CAutoChildView.h"
#include "ui/views/CManualChildView.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QUrl>

#include <filesystem>

void CMainFrame::connectComforts()
{
    for (CJobListWidget* view :
         {static_cast<CJobListWidget*>(automaticView_), static_cast<CJobListWidget*>(manualView_)}) {
        connect(view, &CJobListWidget::filesDropped, this,
                [this, view](const QStringList& paths) { addFiles(paths, view == automaticView_); });
        connect(view, &CJobListWidget::rowMenuRequested, this, [this, view](int row, const QPoint& at) {
            if (std::unique_ptr<QMenu> menu = rowMenu(view, row))
                menu->exec(at);
        });
    }
    connect(automaticModel_, &CJobListModel::mediaRanShort, this, [this] { mediaRanShort_ = true; });
}

int CMainFrame::addFiles(const QStringList& paths, bool automatic)
{
    int listed = 0;
    for (const QString& path : paths) {
        if (intake_.addFile(path.toStdString(), automatic) >= 0)
            ++listed;
    }
    // The automatic sequence takes up new waiting jobs as after a scan.
    if (automatic && listed > 0)
        run_.startAfterScan();
    return listed;
}

void CMainFrame::askForFilesToAdd()
{
    const bool automatic = activeView_ != manualView_;
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, tr("添加绘图文件"), QString(), tr("绘图文件 (*.plt *.PLT *.hpgl *.hgl *.prn);;所有文件 (*)"));
    addFiles(paths, automatic);
}

std::unique_ptr<QMenu> CMainFrame::rowMenu(CJobListWidget* view, int row)
{
    CPlotJob* job = view->list().jobAt(row);
    auto menu = std::make_unique<QMenu>(this);
    const bool automatic = view == automaticView_;
    if (job != nullptr && automatic) {
        menu->addAction(tr("开始绘图此文件"), this, [this] { execute(ID_PLOT_START); })
            ->setEnabled(isCommandEnabled(ID_PLOT_START));
    }
    if (job != nullptr) {
        menu->addAction(tr("预览..."), this, [view, row] { view->doubleClickRow(row); });
    }
    if (job != nullptr && automatic) {
        menu->addSeparator();
        menu->addAction(tr("增加一份"), this, [this] { execute(ID_ADD_COPY); });
        menu->addAction(tr("减少一份"), this, [this] { execute(ID_REMOVE_COPY); })
            ->setEnabled(isCommandEnabled(ID_REMOVE_COPY));
        menu->addSeparator();
        menu->addAction(tr("删除绘图数据"), this, [this] { execute(ID_JOB_DELETE); })
            ->setEnabled(!automaticList_.isInUse(row));
    }
    if (job != nullptr && !automatic)
        menu->addAction(tr("送入自动绘图"), this, [this] { execute(ID_SEND_TO_AUTOMATIC); });
    if (job != nullptr) {
        menu->addSeparator();
        const std::string path = job->path;
        menu->addAction(tr("打开所在文件夹"), this, [path] { openContainingFolder(path); });
    }
    menu->addSeparator();
    menu->addAction(tr("添加绘图文件(&A)..."), this, &CMainFrame::askForFilesToAdd);
    return menu;
}

void CMainFrame::openContainingFolder(const std::string& jobPath)
{
    const std::filesystem::path file = platform::toFileSystemPath(jobPath);
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.parent_path().string())));
}

void CMainFrame::openDetailPreview(CPlotJob& job)
{
    const WindowPlacement placement(settings_.serverFile);
    CDetailPreviewDlg preview(this);
    if (const std::optional<QSize> size = placement.previewSize())
        preview.resize(*size);
    preview.setJob(job);
    preview.exec();
    placement.savePreviewSize(preview.size());
}

void CMainFrame::restorePlacement() { WindowPlacement(settings_.serverFile).restoreWindow(*this); }

bool CMainFrame::savePlacement() const
{
    return WindowPlacement(settings_.serverFile).saveWindow(*this, *outer_, *inner_);
}

namespace {

std::string queueFile(const CProfile& serverFile)
{
    return (std::filesystem::path(serverFile.path()).parent_path() / queuestore::FILE_NAME).string();
}

} // namespace

void CMainFrame::restoreQueue() { queuestore::restore(queueFile(settings_.serverFile), automaticList_); }

bool CMainFrame::saveQueue() const
{
    return queuestore::save(queueFile(settings_.serverFile), automaticList_);
}

// Asked once the run is over, so that the question holds up no copy in output.
void CMainFrame::askToReloadWhenMediaRanShort()
{
    if (!mediaRanShort_ || automaticList_.runningJob() >= 0 || isOutputting())
        return;
    mediaRanShort_ = false;
    const int answer = platform::messageBox(strings::localString(strings::IDS_RELOAD_ROLL_NOW), {},
                                            platform::MB_YESNO | platform::MB_ICONQUESTION);
    if (answer == platform::IDYES)
        automaticCommands_.execute(ID_RELOAD_MEDIA);
}
