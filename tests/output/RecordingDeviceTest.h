#pragma once

#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"

#include "RecordingPort.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using Writes = std::vector<std::string>;

// A device that writes to a recording port, with plain HP-GL move and line templates.
class RecordingDeviceTest : public ::testing::Test {
protected:
    RecordingDeviceTest()
    {
        device.setOutputPort(&port);
        set(CommandTemplate::MoveTo, "PU%d,%d;");
        set(CommandTemplate::LineTo, "PD%d,%d;");
        set(CommandTemplate::LineToEx, "PE%d,%d;");
    }

    void set(CommandTemplate t, const char* text) { std::strcpy(device.command(t), text); }

    RecordingPort port;
    CPlotterDevice device;
    CCutInfo settings;
};
