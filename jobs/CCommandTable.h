#pragma once

#include <functional>
#include <vector>

class CAutoJobList;
class CIntake;
class CPlotRun;
class CPlotterDevice;

// One command of a list: what it does, when it can be chosen, and the string id of the prompt the status
// bar shows while the pointer is on its menu item or button (0 for none).
struct JobCommand {
    int id = 0;
    int promptId = 0;
    // Empty: no one handles the command yet; it is shown disabled.
    std::function<void()> handler;
    // Empty: always enabled.
    std::function<bool()> enableRule;
};

// The commands of one list. The window turns them into menu items and buttons, marquill-plot runs the
// posted ones, and the tests ask the enable rules; none of them drives the lists another way.
class CCommandTable {
public:
    void add(JobCommand command);
    // Gives a command its handler (the window's dialogs), keeping its prompt and enable rule.
    void setHandler(int id, std::function<void()> handler);

    const JobCommand* find(int id) const;
    bool handles(int id) const;
    // Handled and allowed by its rule now.
    bool isCommandEnabled(int id) const;
    // Runs an enabled command; false when it is not handled or not enabled now.
    bool execute(int id) const;
    const std::vector<JobCommand>& commands() const { return commands_; }

private:
    std::vector<JobCommand> commands_;
};

// The automatic list: starts, pause, stop, the posted run, deletions, copies, the scan, the clean-up of
// temporary files, and the three settings dialogs, which have no handler until the window gives them one.
CCommandTable automaticListCommands(CAutoJobList& list, CPlotRun& run, CIntake& intake,
                                    const CPlotterDevice& device);
// The manual list: send to the automatic queue, and the scan of the manual receive folder.
CCommandTable manualListCommands(CIntake& intake);
