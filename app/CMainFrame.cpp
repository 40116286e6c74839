#include "app/CMainFrame.h"

#include "app/CopyProgressPane.h"
#include "app/FrameCommandIds.h"
#include "app/MediaBar.h"
#include "app/WindowPlacement.h"
#include "jobs/JobCommandIds.h"
#include "jobs/RunTexts.h"
#include "jobs/StartupSettings.h"
#include "ports/PortSettings.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"
#include "ui/dialogs/COutputSettingsDialog.h"
#include "ui/dialogs/CPathDialog.h"
#include "ui/dialogs/CReloadPaperDialog.h"
#include "ui/models/CJobListModel.h"
#include "ui/preview/CPlotInfoView.h"
#include "ui/views/CAutoChildView.h"
#include "ui/views/CManualChildView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <ctime>
#include <filesystem>

namespace {

constexpr int IDLE_UPDATE_MS = 250;
// How long the status bar says why a close or a language switch was refused.
constexpr int REFUSAL_SHOWN_MS = 10000;

QString localText(int id) { return QString::fromUtf8(strings::localString(id)); }

} // namespace

CMainFrame::CMainFrame(StartupSettings& settings, const CCommandTable& appCommands, QWidget* parent)
    : QMainWindow(parent), settings_(settings), automaticList_(settings.server), manualList_(settings.server),
      run_(automaticList_, settings.server, settings.cutInfo, settings.device),
      intake_(automaticList_, manualList_, settings.serverFile),
      automaticCommands_(automaticListCommands(automaticList_, run_, intake_, settings.device)),
      manualCommands_(manualListCommands(intake_)),
      appCommands_(appCommands), dialogSettings_{settings.serverFile,
                                                 settings.deviceFile,
                                                 portFile_,
                                                 settings.server,
                                                 settings.cutInfo,
                                                 settings.device,
                                                 settings.edition,
                                                 {},
                                                 {},
                                                 {}}
{
    // The roll count is saved after every copy; a Server.INI that cannot be written is said in a box.
    run_.setServerFile(&settings.serverFile);
    setWindowIcon(QIcon(QStringLiteral(":/icons/edition/128.svg")));
    frameCommands_.add({ID_APP_EXIT, ID_APP_EXIT, [this] { close(); }, {}});
    // Stop and pause of the automatic run answer whichever list is active: an operator looking at the
    // manual list must still be able to stop the plotter.
    frameCommands_.add({ID_PLOT_STOP, ID_PLOT_STOP, [this] { run_.stop(); }, {}});
    frameCommands_.add({ID_PLOT_PAUSE, ID_PLOT_PAUSE, [this] { run_.pause(); }, {}});
    frameCommands_.add(
        {ID_VIEW_TOOLBAR, ID_VIEW_TOOLBAR, [this] { toolBar_->setVisible(!toolBar_->isVisible()); }, {}});

    connectSettingsDialogs();
    buildClient();
    buildMenu();
    buildToolBar();
    buildStatusBar();
    connectComforts();
    setActiveView(automaticView_);

    idleTimer_ = new QTimer(this);
    connect(idleTimer_, &QTimer::timeout, this, &CMainFrame::updateCommandStates);
    connect(idleTimer_, &QTimer::timeout, this, &CMainFrame::askToReloadWhenMediaRanShort);
    idleTimer_->start(IDLE_UPDATE_MS);
    updateCommandStates();
}

CMainFrame::~CMainFrame()
{
    // The views and models refer to the lists, which go with the frame's members: take them down first.
    delete outer_;
    delete automaticModel_;
    delete manualModel_;
}

void CMainFrame::buildClient()
{
    automaticModel_ =
        new CJobListModel(automaticList_, settings_.server, CJobListModel::automaticColumns(), this);
    manualModel_ = new CJobListModel(manualList_, settings_.server, CJobListModel::manualColumns(), this);

    outer_ = new QSplitter(Qt::Vertical);
    inner_ = new QSplitter(Qt::Horizontal);
    automaticView_ = new CAutoChildView(automaticList_, *automaticModel_);
    manualView_ = new CManualChildView(*manualModel_);
    infoView_ = new CPlotInfoView(settings_.server);
    inner_->addWidget(automaticView_);
    inner_->addWidget(manualView_);
    outer_->addWidget(inner_);
    outer_->addWidget(infoView_);
    outer_->setChildrenCollapsible(false);
    inner_->setChildrenCollapsible(false);
    automaticView_->setMinimumWidth(MIN_LEFT_COLUMN);
    inner_->setMinimumHeight(MIN_TOP_ROW);
    outer_->setStretchFactor(0, 1);
    outer_->setStretchFactor(1, 0);
    setCentralWidget(outer_);

    automaticView_->setReceiveScan([this] {
        intake_.pollAutomatic();
        run_.startAfterScan();
        return intake_.untilAutomaticSettles();
    });
    manualView_->setReceiveScan([this] {
        intake_.pollManual();
        return intake_.untilManualSettles();
    });

    for (CJobListWidget* view :
         {static_cast<CJobListWidget*>(automaticView_), static_cast<CJobListWidget*>(manualView_)}) {
        connect(view, &CJobListWidget::jobShown, infoView_, &CPlotInfoView::ShowJob);
        connect(view, &CJobListWidget::viewActivated, this, &CMainFrame::setActiveView);
        view->setDetailPreview([this](CPlotJob& job) { openDetailPreview(job); });
    }
    for (CJobListModel* model : {automaticModel_, manualModel_}) {
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [this, model](const QModelIndex&, int first, int last) {
                    for (int row = first; row <= last; ++row) {
                        if (model->list().jobAt(row) == infoView_->job())
                            infoView_->ShowJob(nullptr);
                    }
                });
    }
    connect(infoView_, &CPlotInfoView::jobEdited, this, [this](CPlotJob* job) {
        for (int row = 0; row < automaticList_.rowCount(); ++row) {
            if (automaticList_.jobAt(row) == job)
                automaticList_.refreshRow(row);
        }
    });
    connect(automaticModel_, &CJobListModel::commandPosted, this,
            [this](int id) { automaticCommands_.execute(id); });
    connect(automaticModel_, &CJobListModel::statusTextChanged, this, [this](const QString& text) {
        mediaPane_->setText(text);
        mediaBar_->showRemaining(text);
        mediaPane_->repaint();
    });
    connect(automaticModel_, &CJobListModel::copyProgressChanged, this,
            [this](const CopyProgress& progress) { progressPane_->showProgress(progress); });
    // The information view's plotting time: through the selected device and over the [CutInfo] port's
    // line, as the next copy would be sent.
    infoView_->setEstimator([this](CPlotJob& job) {
        PortSettings line;
        line.load(portFile_);
        return requestEstimate(job, settings_.server, settings_.cutInfo, settings_.device, line,
                               settings_.cutInfo.Port);
    });
    connect(automaticModel_, &CJobListModel::bringToTopRequested, this, [this] {
        raise();
        activateWindow();
    });
}

// The settings dialogs edit the files the window started from; Port.INI lies beside Server.INI.
void CMainFrame::connectSettingsDialogs()
{
    portFile_.setPath(
        (std::filesystem::path(settings_.serverFile.path()).parent_path() / "Port.INI").c_str());
    dialogSettings_.refreshJobLists = [this] { automaticList_.redrawAll(); };
    dialogSettings_.redrawAutomaticList = [this] { automaticList_.redrawAll(); };
    dialogSettings_.showRemainingMedia = [this](const std::string& text) {
        mediaPane_->setText(QString::fromStdString(text));
        mediaBar_->showRemaining(mediaPane_->text());
    };
    automaticCommands_.setHandler(ID_PATH_SETTINGS, [this] { CPathDialog(dialogSettings_, this).exec(); });
    // The dialog sets the count in memory and in the file alike: the roll count starts from there.
    automaticCommands_.setHandler(ID_RELOAD_MEDIA, [this] {
        if (CReloadPaperDialog(dialogSettings_, this).exec() == QDialog::Accepted)
            mediaBar_->rollLoaded();
        run_.rollCount()->remember();
        mediaBar_->showRemaining(mediaPane_->text());
    });
    automaticCommands_.setHandler(ID_OUTPUT_SETTINGS,
                                  [this] { COutputSettingsDialog(dialogSettings_, this).exec(); });
}

void CMainFrame::showRemainingMedia()
{
    mediaPane_->setText(QString::fromStdString(
        remainingMediaText(settings_.server.REMAINMEDIALENGTH, settings_.server.unit == 1)));
    mediaBar_->showRemaining(mediaPane_->text());
}

QAction* CMainFrame::action(int id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

bool CMainFrame::isOutputting() const { return settings_.device.isOutputting(); }

int CMainFrame::promptIdOf(int id) const
{
    const JobCommand* command = automaticCommands_.find(id);
    if (command == nullptr)
        command = manualCommands_.find(id);
    return command != nullptr ? command->promptId : id;
}

const CCommandTable* CMainFrame::tableFor(int id) const
{
    if (activeView_ == automaticView_ && automaticCommands_.handles(id))
        return &automaticCommands_;
    if (activeView_ == manualView_ && manualCommands_.handles(id))
        return &manualCommands_;
    if (frameCommands_.handles(id))
        return &frameCommands_;
    if (appCommands_.handles(id))
        return &appCommands_;
    return nullptr;
}

bool CMainFrame::execute(int id)
{
    const CCommandTable* table = tableFor(id);
    const bool done = table != nullptr && table->execute(id);
    updateCommandStates();
    return done;
}

bool CMainFrame::isCommandEnabled(int id) const
{
    const CCommandTable* table = tableFor(id);
    return table != nullptr && table->isCommandEnabled(id);
}

void CMainFrame::updateCommandStates()
{
    for (const auto& [id, action] : actions_)
        action->setEnabled(isCommandEnabled(id));
    reservedStop_->setEnabled(isCommandEnabled(ID_PLOT_STOP));
    actions_[ID_VIEW_TOOLBAR]->setChecked(toolBar_ != nullptr && toolBar_->isVisible());
    actions_[ID_LANGUAGE_ENGLISH]->setChecked(settings_.language != LANGUAGE_CHINESE);
    actions_[ID_LANGUAGE_CHINESE]->setChecked(settings_.language == LANGUAGE_CHINESE);
}

void CMainFrame::setActiveView(CJobListWidget* view)
{
    if (view == activeView_)
        return;
    activeView_ = view;
    loadToolBar(view == automaticView_);
    updateCommandStates();
}

void CMainFrame::applySplitterSizes(int clientHeight)
{
    const int top = std::max(MIN_TOP_ROW, clientHeight - BOTTOM_ROW_HEIGHT);
    outer_->setSizes({top, std::max(0, clientHeight - top - outer_->handleWidth())});
    const int width = inner_->width() > 0 ? inner_->width() : this->width();
    const int left = std::max(MIN_LEFT_COLUMN, LEFT_COLUMN_WIDTH);
    inner_->setSizes({left, std::max(0, width - left - inner_->handleWidth())});
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!splitterSized_) {
        splitterSized_ = true;
        if (!WindowPlacement(settings_.serverFile).restoreSplitters(*outer_, *inner_))
            applySplitterSizes(outer_->height());
    }
}

// The refusal is said in a box of its own, which does not hold up the copy in output, as the status bar's
// next prompt would soon cover it.
void CMainFrame::showRefusal(int stringId)
{
    const QString text = localText(stringId);
    statusBar()->showMessage(text, REFUSAL_SHOWN_MS);
    if (refusalBox_ == nullptr) {
        refusalBox_ = new QMessageBox(QMessageBox::Information, localText(strings::IDS_APP_TITLE), text,
                                      QMessageBox::Ok, this);
        refusalBox_->setWindowModality(Qt::NonModal);
        refusalBox_->setAttribute(Qt::WA_DeleteOnClose);
    }
    refusalBox_->setText(text);
    refusalBox_->show();
    refusalBox_->raise();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (isOutputting()) {
        event->ignore();
        showRefusal(strings::IDS_CLOSE_REFUSED);
        return;
    }
    savePlacement();
    // Kept before the clean-up, which may delete finished files: those are then not listed again.
    saveQueue();
    deleteOldPlotted(automaticList_, settings_.server.AutoDeleType, std::time(nullptr), run_.journal());
    automaticList_.releaseAll();
    manualList_.releaseAll();
    saveMediaSettings(settings_);
    event->accept();
}
