#pragma once

#include "jobs/CAutoJobList.h"
#include "jobs/CJobListView.h"
#include "jobs/CPlotRun.h"
#include "jobs/CommandIds.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "plotdata/CPlot.h"
#include "ports/CPlotPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A port that keeps the writes of each pass.
class RecordingPort : public CPlotPort {
public:
    RecordingPort() : CPlotPort("/nonexistent/Port.INI") {}

    std::int32_t Open(std::int32_t, void*, std::int32_t* stopFlag) override
    {
        passes.emplace_back();
        stopFlag_ = stopFlag;
        *stopFlag_ = 0;
        return 1;
    }
    std::int32_t Write(const char* text) override
    {
        if (onWrite)
            onWrite();
        if (*stopFlag_ != 0)
            return 0;
        passes.back() += text;
        return 1;
    }
    void Close() override
    {
        if (stopFlag_ != nullptr)
            *stopFlag_ = 1;
        stopFlag_ = nullptr;
    }

    std::vector<std::string> passes;
    // Runs before every write, where the real port runs the message step.
    std::function<void()> onWrite;

private:
    std::int32_t* stopFlag_ = nullptr;
};

// Records what the run tells the window.
class RunView : public CJobListView {
public:
    void progressText(int, const std::string& text) override { progress.push_back(text); }
    void statusText(const std::string& text) override { status = text; }
    void postCommand(int id) override { posted.push_back(id); }

    std::vector<std::string> progress;
    std::string status;
    std::vector<int> posted;
};

// Handles the commands the start commands posted, as the window's message loop does.
inline void handlePosted(RunView& view, CPlotRun& run)
{
    while (!view.posted.empty()) {
        const int id = view.posted.front();
        view.posted.erase(view.posted.begin());
        if (id == ID_RUN)
            run.run();
    }
}

// A plot of straight lines in millimetres, each line a path of its own.
inline std::unique_ptr<CPlot> plotOfLines(const std::vector<std::pair<FPoint, FPoint>>& lines)
{
    auto plot = std::make_unique<CPlot>();
    for (const auto& [from, to] : lines)
        plot->add(CPlotPath::makeLine(from.x, from.y, to.x, to.y));
    return plot;
}

// The run with the default settings, a device that writes "M x,y;" for moves and "D x,y;" for lines in
// units of 0.1 mm, and a recording port. Jobs are given their plot, so no file is read.
class RunTest : public ::testing::Test {
protected:
    ServerSettings settings;
    CCutInfo cutInfo;
    CPlotterDevice device;
    CAutoJobList list{settings};
    RunView view;
    RecordingPort port;
    CPlotRun run{list, settings, cutInfo, device};

    void SetUp() override
    {
        list.setView(&view);
        device.setOutputPort(&port);
        device.RS = 0.1f;
        std::strcpy(device.command(CommandTemplate::MoveTo), "M%d,%d;");
        std::strcpy(device.command(CommandTemplate::LineTo), "D%d,%d;");
        std::strcpy(device.command(CommandTemplate::LineToEx), "D%d,%d;");
        run.setMarkPlotted(false);
    }

    // Adds a waiting job holding the plot; returns its row.
    int addJob(const std::string& name, std::unique_ptr<CPlot> plot)
    {
        const std::string path = "/plots/" + name;
        auto job = CPlotJob::create(path, CPlotJob::STATE_WAITING, settings);
        job->plot = std::move(plot);
        return list.addJob(path, std::move(job));
    }

    // Plots the row's job through the one-job start.
    void plotRow(int row)
    {
        list.select(row);
        run.startOneJob();
        handlePosted();
    }

    void handlePosted() { ::handlePosted(view, run); }
};
