// The frame's bars: the menu, the toolbar of the active list and the status bar with the command prompt,
// the remaining media and the roll.

#include "app/CMainFrame.h"

#include "app/CopyProgressPane.h"
#include "app/FrameCommandIds.h"
#include "app/MediaBar.h"
#include "jobs/JobCommandIds.h"
#include "jobs/RunTexts.h"
#include "jobs/StartupSettings.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>

namespace {

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
    QAction* add = file->addAction(tr("添加绘图文件(&A)..."), this, &CMainFrame::askForFilesToAdd);
    add->setObjectName(QStringLiteral("addFilesAction"));
    add->setStatusTip(tr("把绘图文件复制到接收文件夹并加入列表"));
    file->addSeparator();
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
        toolBar_->addSeparator();
        toolBar_->addAction(actions_[ID_PLOT_STOP]);
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
    // The roll as a bar at the right of the media pane, beside the described text.
    mediaBar_ = new CMediaBar(settings_.server, settings_.serverFile);
    auto* paneLayout = new QHBoxLayout(mediaPane_);
    paneLayout->setContentsMargins(0, 1, 2, 1);
    paneLayout->addStretch();
    paneLayout->addWidget(mediaBar_);
    progressPane_ = new CCopyProgressPane;
    statusBar()->addWidget(promptPane_, 1);
    statusBar()->addPermanentWidget(progressPane_);
    statusBar()->addPermanentWidget(mediaPane_);
    // A prompt shows while the pointer is on a menu item or button; without one the pane says "ready".
    connect(statusBar(), &QStatusBar::messageChanged, this, &CMainFrame::showPrompt);
    showRemainingMedia();
}

void CMainFrame::showPrompt(const QString& message)
{
    promptPane_->setText(message.isEmpty() ? localText(strings::IDS_READY) : message);
}
