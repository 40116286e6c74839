#include <gtest/gtest.h>

#include "ShippedProfiles.h"
#include "TempDir.h"
#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/OutputSettings.h"
#include "output/ServerSettings.h"
#include "ports/PortSettings.h"

#include <filesystem>

// Reading a settings file through its keys and writing it back changes no byte: no key is respelled,
// moved or rewritten in another number format, in the shipped device-profile files (with every device
// they list) and in the files the program writes from scratch.
TEST(SettingsRoundTrip, ShippedAndWrittenFilesComeBackByteForByte)
{
    TempDir dir;
    for (const char* fileName : kShippedProfileFiles) {
        SCOPED_TRACE(fileName);
        const std::string copy = dir.file(fileName);
        std::filesystem::copy_file(shippedProfilePath(fileName), copy);
        const std::string shipped = TempDir::read(copy);
        CProfile file;
        file.setPath(copy.c_str());
        CCutInfo cutInfo;
        cutInfo.loadCutInfo(file);
        cutInfo.saveCutInfo(file);
        for (const std::string& name : keyNames(file, "CutterDevices")) {
            CPlotterDevice device;
            device.loadProfile(file, name.c_str());
            device.saveProfile(file);
        }
        EXPECT_EQ(TempDir::read(copy), shipped);
    }

    // Written from the defaults into files that did not exist, then read and written again.
    CProfile deviceFile;
    deviceFile.setPath(dir.file("New.INI").c_str());
    CCutInfo defaults;
    defaults.saveCutInfo(deviceFile);
    CProfile portFile;
    portFile.setPath(dir.file("Port.INI").c_str());
    PortSettings{}.save(portFile);
    const std::string writtenDevice = TempDir::read(deviceFile.path());
    const std::string writtenPort = TempDir::read(portFile.path());

    CProfile serverFile;
    serverFile.setPath(dir.file("Server.INI").c_str());
    ServerSettings server;
    CCutInfo cutInfo;
    CPlotterDevice device;
    loadOutputSettings(serverFile, deviceFile, server, cutInfo, device);
    cutInfo.saveCutInfo(deviceFile);
    PortSettings port;
    port.load(portFile);
    port.save(portFile);
    EXPECT_EQ(TempDir::read(deviceFile.path()), writtenDevice);
    EXPECT_EQ(TempDir::read(portFile.path()), writtenPort);
}
