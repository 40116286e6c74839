#pragma once

#include "TempDir.h"

#include "jobs/RollCount.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"

#include <gtest/gtest.h>

// A Server.INI with 1000 mm of roll left, and the roll count of a program that has read it and taken it
// as its starting point.
class RollCountTest : public ::testing::Test {
protected:
    TempDir home;
    CProfile serverFile;
    ServerSettings settings;
    RollCount count{serverFile, settings};

    RollCountTest()
    {
        home.write("Server.INI", "[SYSTEM]\nREMAINMEDIALENGTH=1000\n");
        serverFile.setPath(home.file("Server.INI").c_str());
        settings.REMAINMEDIALENGTH = 1000;
        count.remember();
    }
};
