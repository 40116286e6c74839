#pragma once

#include "jobs/CJobListView.h"

#include <functional>
#include <string>
#include <vector>

// Records what a job list tells its view: the rows to redraw, the progress and status texts, and the
// commands posted for later.
class RecordingView : public CJobListView {
public:
    void rowChanged(int row) override { changed.push_back(row); }
    void progressText(int, const std::string& text) override { progress.push_back(text); }
    void statusText(const std::string& text) override { status = text; }
    void postCommand(int id) override { posted.push_back(id); }
    void copyProgress(int, const CopyProgress& progress) override
    {
        if (onProgress)
            onProgress(progress);
    }

    std::function<void(const CopyProgress&)> onProgress;
    std::vector<int> changed;
    std::vector<std::string> progress;
    std::string status;
    std::vector<int> posted;
};
