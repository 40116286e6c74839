#pragma once

#include "jobs/CAutoJobList.h"
#include "jobs/CPlotRun.h"
#include "jobs/JobCommandIds.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/ServerSettings.h"
#include "plotdata/CPlot.h"

#include "RecordingPort.h"
#include "RecordingView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Handles the commands the start commands posted, as the window's message loop does.
inline void handlePosted(RecordingView& view, CPlotRun& run)
{
    while (!view.posted.empty()) {
        const int id = view.posted.front();
        view.posted.erase(view.posted.begin());
        if (id == ID_RUN)
            run.run();
    }
}

// Calls the action once, at the first write after the given text was sent, as a command arriving in the
// message step does.
inline void after(RecordingPort& port, const std::string& sent, std::function<void()> action)
{
    port.onWrite = [&port, sent, action, done = false]() mutable {
        if (!done && port.passes.back().find(sent) != std::string::npos) {
            done = true;
            action();
        }
    };
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
    RecordingView view;
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
