#include "app/CMainFrame.h"

#include "app/FrameCommandIds.h"
#include "jobs/JobCommandIds.h"
#include "jobs/RunTexts.h"
#include "jobs/StartupSettings.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"
#include "ui/dialogs/COutputSettingsDialog.h"
#include "ui/dialogs/CPathDialog.h"
#include "ui/dialogs/CReloadPaperDialog.h"
#include "ui/models/CJobListModel.h"
#include "ui/preview/CDetailPreviewDlg.h"
#include "ui/preview/CPlotInfoView.h"
#include "ui/views/CAutoChildView.h"
#include "ui/views/CManualChildView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
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

// The tool tip of a command: its menu text without the mnemonic and what follows a tab.
QString toolTipOf(QString text)
{
    text = text.section(QLatin1Char('\t'), 0, 0);
    static const QRegularExpression mnemonicInBrackets(QStringLiteral("\\(&.\\)"));
    text.remove(mnemonicInBrackets);
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

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
    frameCommands_.add(
        {ID_VIEW_TOOLBAR, ID_VIEW_TOOLBAR, [this] { toolBar_->setVisible(!toolBar_->isVisible()); }, {}});

    connectSettingsDialogs();
    buildClient();
    buildMenu();
    buildToolBar();
    buildStatusBar();
    setActiveView(automaticView_);

    idleTimer_ = new QTimer(this);
    connect(idleTimer_, &QTimer::timeout, this, &CMainFrame::updateCommandStates);
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
    });
    manualView_->setReceiveScan([this] { intake_.pollManual(); });

    for (CJobListWidget* view :
         {static_cast<CJobListWidget*>(automaticView_), static_cast<CJobListWidget*>(manualView_)}) {
        connect(view, &CJobListWidget::jobShown, infoView_, &CPlotInfoView::ShowJob);
        connect(view, &CJobListWidget::viewActivated, this, &CMainFrame::setActiveView);
        view->setDetailPreview([this](CPlotJob& job) {
            CDetailPreviewDlg preview(this);
            preview.setJob(job);
            preview.exec();
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
        mediaPane_->repaint();
    });
    connect(automaticModel_, &CJobListModel::bringToTopRequested, this, [this] {
        raise();
        activateWindow();
    });
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setToolTip(toolTipOf(text));
    const int promptId = promptIdOf(id);
    if (promptId != 0)
        action->setStatusTip(localText(promptId));
    connect(action, &QAction::triggered, this, [this, id] { execute(id); });
    actions_[id] = action;
    return action;
}

void CMainFrame::buildMenu()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(tr("文件(&F)"));
    addCommand(file, ID_APP_EXIT, tr("退出(&X)"));

    QMenu* edit = bar->addMenu(tr("编辑(&E)"));
    addCommand(edit, ID_PLOT_START, tr("开始绘图\t(&S)"));
    addCommand(edit, ID_PLOT_STOP, tr("终止绘图\t(&C)"));
    addCommand(edit, ID_PLOT_AUTOMATIC, tr("自动顺序绘图\t(&A)"));
    edit->addSeparator();
    addCommand(edit, ID_JOB_DELETE, tr("删除绘图数据\t(&D)"));
    addCommand(edit, ID_JOB_DELETE_ALL, tr("删除所有绘图数据"));

    QMenu* setup = bar->addMenu(tr("设定(&S)"));
    addCommand(setup, ID_PATH_SETTINGS, tr("文件路径(&P)..."));
    addCommand(setup, ID_RELOAD_MEDIA, tr("重新上料(&R)..."));
    addCommand(setup, ID_OUTPUT_SETTINGS, tr("绘图设置(&W)..."));

    QMenu* view = bar->addMenu(tr("查看(&V)"));
    QMenu* language = view->addMenu(QStringLiteral("Language"));
    addCommand(language, ID_LANGUAGE_ENGLISH, QStringLiteral("English"))->setCheckable(true);
    addCommand(language, ID_LANGUAGE_CHINESE, QStringLiteral("Chinese"))->setCheckable(true);
    addCommand(view, ID_VIEW_TOOLBAR, tr("工具栏(&T)"))->setCheckable(true);

    QMenu* help = bar->addMenu(tr("帮助(&H)"));
    addCommand(help, ID_APP_ABOUT, tr("关于 Marquill(&A)..."));
    QMenu* reserved = help->addMenu(tr("保留(&R)"));
    addCommand(reserved, ID_RESERVED_NEW_JOB, QStringLiteral("NewJob"));
    addCommand(reserved, ID_FIND_PLOT_DATA, tr("查找绘图数据"));
    addCommand(reserved, ID_CLEAN_TEMPORARY, QStringLiteral("1234"));
    addCommand(reserved, ID_RESERVED_NO_EXIT, QStringLiteral("NOEXIT"));
    addCommand(reserved, ID_RESERVED_AUTO_EXIT, tr("自动退出"));
    addCommand(reserved, ID_RUN, tr("新绘图"));
    addCommand(reserved, ID_RESERVED_NO_AUTO_CUT, QStringLiteral("CM_NOAUTOCUT"));
    // The stop command has its item in the edit menu too; this one only routes to it.
    reservedStop_ = reserved->addAction(QStringLiteral("CM_STOP"));
    reservedStop_->setStatusTip(localText(ID_PLOT_STOP));
    connect(reservedStop_, &QAction::triggered, this, [this] { execute(ID_PLOT_STOP); });
    addCommand(reserved, ID_RESERVED_PAGE_PAUSE, tr("页间暂停"));
    addCommand(reserved, ID_PLOT_PAUSE, tr("暂停绘图\t(&P)"));

    for (QMenu* menu : {file, edit, setup, view, language, help, reserved})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::buildToolBar()
{
    toolBar_ = addToolBar(QStringLiteral("toolbar"));
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->toggleViewAction()->setVisible(false);
    for (int id : {ID_PLOT_AUTOMATIC, ID_PLOT_START, ID_PLOT_STOP, ID_JOB_DELETE, ID_ADD_COPY, ID_REMOVE_COPY,
                   ID_JOB_DELETE_ALL, ID_SEND_TO_AUTOMATIC}) {
        QAction* button = actions_.count(id) ? actions_[id] : nullptr;
        if (button == nullptr) {
            // Commands only the toolbar offers.
            button = new QAction(this);
            const QString prompt = localText(promptIdOf(id));
            button->setStatusTip(prompt);
            button->setToolTip(prompt);
            connect(button, &QAction::triggered, this, [this, id] { execute(id); });
            actions_[id] = button;
        }
        button->setIcon(QIcon(QStringLiteral(":/icons/toolbar/%1.svg").arg(id)));
    }
}

void CMainFrame::loadToolBar(bool automatic)
{
    toolBar_->clear();
    if (!automatic) {
        toolBar_->addAction(actions_[ID_SEND_TO_AUTOMATIC]);
        return;
    }
    toolBar_->addAction(actions_[ID_PLOT_AUTOMATIC]);
    toolBar_->addAction(actions_[ID_PLOT_START]);
    toolBar_->addSeparator();
    toolBar_->addAction(actions_[ID_PLOT_STOP]);
    toolBar_->addAction(actions_[ID_JOB_DELETE]);
    toolBar_->addSeparator();
    toolBar_->addAction(actions_[ID_ADD_COPY]);
    toolBar_->addAction(actions_[ID_REMOVE_COPY]);
    toolBar_->addSeparator();
    toolBar_->addAction(actions_[ID_JOB_DELETE_ALL]);
}

void CMainFrame::buildStatusBar()
{
    promptPane_ = new QLabel(localText(strings::IDS_READY));
    mediaPane_ = new QLabel;
    mediaPane_->setFixedWidth(MEDIA_PANE_WIDTH);
    mediaPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(promptPane_, 1);
    statusBar()->addPermanentWidget(mediaPane_);
    // A prompt shows while the pointer is on a menu item or button; without one the pane says "ready".
    connect(statusBar(), &QStatusBar::messageChanged, this, &CMainFrame::showPrompt);
    showRemainingMedia();
}

void CMainFrame::showPrompt(const QString& message)
{
    promptPane_->setText(message.isEmpty() ? localText(strings::IDS_READY) : message);
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
    };
    automaticCommands_.setHandler(ID_PATH_SETTINGS, [this] { CPathDialog(dialogSettings_, this).exec(); });
    // The dialog sets the count in memory and in the file alike: the roll count starts from there.
    automaticCommands_.setHandler(ID_RELOAD_MEDIA, [this] {
        CReloadPaperDialog(dialogSettings_, this).exec();
        run_.rollCount()->remember();
    });
    automaticCommands_.setHandler(ID_OUTPUT_SETTINGS,
                                  [this] { COutputSettingsDialog(dialogSettings_, this).exec(); });
}

void CMainFrame::showRemainingMedia()
{
    mediaPane_->setText(QString::fromStdString(
        remainingMediaText(settings_.server.REMAINMEDIALENGTH, settings_.server.unit == 1)));
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
        applySplitterSizes(outer_->height());
    }
}

void CMainFrame::showRefusal(int stringId)
{
    statusBar()->showMessage(localText(stringId), REFUSAL_SHOWN_MS);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (isOutputting()) {
        event->ignore();
        showRefusal(strings::IDS_CLOSE_REFUSED);
        return;
    }
    deleteOldPlotted(automaticList_, settings_.server.AutoDeleType, std::time(nullptr));
    automaticList_.releaseAll();
    manualList_.releaseAll();
    saveMediaSettings(settings_);
    event->accept();
}
