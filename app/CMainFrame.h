#pragma once

#include "jobs/CAutoJobList.h"
#include "jobs/CCommandTable.h"
#include "jobs/CIntake.h"
#include "jobs/CManualJobList.h"
#include "jobs/CPlotRun.h"
#include "platform/CProfile.h"
#include "ui/dialogs/SettingsContext.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <map>
#include <memory>

class QMenu;

class CAutoChildView;
class CCopyProgressPane;
class CMediaBar;
class CJobListModel;
class CJobListWidget;
class CManualChildView;
class CPlotInfoView;
class QLabel;
class QSplitter;
class QTimer;
class QToolBar;
struct StartupSettings;

// The program's window: menu, the toolbar of the active list, the status bar with the command prompt and
// the remaining media, the two job lists side by side over the plot information view. A command goes to
// the active list, then the frame, then the application. The window does not close while a copy is output.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int BOTTOM_ROW_HEIGHT = 160;
    static constexpr int MIN_TOP_ROW = 50;
    static constexpr int LEFT_COLUMN_WIDTH = 500;
    static constexpr int MIN_LEFT_COLUMN = 80;
    static constexpr int MEDIA_PANE_WIDTH = 640;

    // appCommands: the application's commands, the last stop of the routing.
    CMainFrame(StartupSettings& settings, const CCommandTable& appCommands, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CAutoJobList& automaticList() { return automaticList_; }
    CManualJobList& manualList() { return manualList_; }
    CPlotRun& run() { return run_; }
    CIntake& intake() { return intake_; }
    CCommandTable& automaticCommands() { return automaticCommands_; }
    CCommandTable& manualCommands() { return manualCommands_; }
    CAutoChildView* automaticView() const { return automaticView_; }
    CManualChildView* manualView() const { return manualView_; }
    CPlotInfoView* infoView() const { return infoView_; }
    CCopyProgressPane* copyProgressPane() const { return progressPane_; }
    QToolBar* toolBar() const { return toolBar_; }
    QSplitter* outerSplitter() const { return outer_; }
    QSplitter* innerSplitter() const { return inner_; }
    QLabel* promptPane() const { return promptPane_; }
    QLabel* mediaPane() const { return mediaPane_; }
    QAction* action(int id) const;
    // What the settings dialogs opened from the menu edit.
    SettingsContext& dialogSettings() { return dialogSettings_; }

    // A copy is being output: the window refuses to close.
    bool isOutputting() const;
    // Says why a request was refused, in a box that leaves the run going, and on the status bar.
    void showRefusal(int stringId);
    QMessageBox* refusalBox() const { return refusalBox_; }
    // Routes a command: the active list, then the frame, then the application.
    bool execute(int id);
    bool isCommandEnabled(int id) const;
    // Sets every menu item and button enabled or not, and the check marks.
    void updateCommandStates();
    void setActiveView(CJobListWidget* view);
    CJobListWidget* activeView() const { return activeView_; }
    // The top row takes the client height less the bottom row's; the left list 500 pixels.
    void applySplitterSizes(int clientHeight);
    void showRemainingMedia();
    CMediaBar* mediaBar() const { return mediaBar_; }

    // Copies plot files into the receive folder of the automatic list (or of the manual list) and lists
    // them at once. Returns how many were listed.
    int addFiles(const QStringList& paths, bool automatic);
    // The context menu of a row of a list (-1: below the rows), built for it; the caller shows it.
    std::unique_ptr<QMenu> rowMenu(CJobListWidget* view, int row);
    // Where the window and its splitters were left, and the preview's size, in Server.INI [Window].
    void restorePlacement();
    bool savePlacement() const;
    // The queue as it was left, from Queue.INI beside Server.INI: listed before the first scan, kept at
    // the close and at a language switch.
    void restoreQueue();
    bool saveQueue() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    void buildClient();
    QAction* addCommand(QMenu* menu, int id, const QString& text);
    void loadToolBar(bool automatic);
    const CCommandTable* tableFor(int id) const;
    // The string id of a command's status-bar prompt: the list's, else the command's own id.
    int promptIdOf(int id) const;
    void showPrompt(const QString& message);
    void connectSettingsDialogs();
    void connectComforts();
    void askForFilesToAdd();
    static void openContainingFolder(const std::string& jobPath);
    void openDetailPreview(CPlotJob& job);
    // After a run in which a job did not fit on the roll: the operator is asked whether to reload now.
    void askToReloadWhenMediaRanShort();

    StartupSettings& settings_;
    CAutoJobList automaticList_;
    CManualJobList manualList_;
    CPlotRun run_;
    CIntake intake_;
    CCommandTable automaticCommands_;
    CCommandTable manualCommands_;
    CCommandTable frameCommands_;
    const CCommandTable& appCommands_;
    CProfile portFile_;
    SettingsContext dialogSettings_;

    CJobListModel* automaticModel_ = nullptr;
    CJobListModel* manualModel_ = nullptr;
    CAutoChildView* automaticView_ = nullptr;
    CManualChildView* manualView_ = nullptr;
    CPlotInfoView* infoView_ = nullptr;
    CJobListWidget* activeView_ = nullptr;
    QSplitter* outer_ = nullptr;
    QSplitter* inner_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* promptPane_ = nullptr;
    QLabel* mediaPane_ = nullptr;
    CMediaBar* mediaBar_ = nullptr;
    CCopyProgressPane* progressPane_ = nullptr;
    bool mediaRanShort_ = false;
    QTimer* idleTimer_ = nullptr;
    // The reserved stop item: a second item for the stop command, outside the command map.
    QAction* reservedStop_ = nullptr;
    std::map<int, QAction*> actions_;
    QPointer<QMessageBox> refusalBox_;
    bool splitterSized_ = false;
};
