#pragma once

#include "jobs/CJobListView.h"

#include <cstdio>
#include <deque>
#include <string>
#include <string_view>

class CAutoJobList;

// A file name as it can be shown on a terminal: control characters, which could move the cursor or
// change the terminal's state, are written as \xHH.
std::string printableName(std::string_view name);

// The automatic list's view on a terminal: the progress of each section goes to standard error, and
// posted commands wait in a queue until the caller takes them.
class ConsoleView : public CJobListView {
public:
    ConsoleView(const CAutoJobList& list, std::FILE* out) : list_(list), out_(out) {}

    // Each section's progress, with the plotting time the copy has left.
    void progressText(int row, const std::string& text) override;
    void copyProgress(int row, const CopyProgress& progress) override;
    void postCommand(int id) override { posted_.push_back(id); }

    // The next posted command, or 0 when none waits.
    int takePostedCommand();

private:
    const CAutoJobList& list_;
    std::FILE* out_;
    std::deque<int> posted_;
    CopyProgress progress_;
};
