#pragma once

#include "plotdata/CProfile.h"
#include "ports/PortSettings.h"

#include <cstdint>
#include <memory>
#include <string>

class PortConnection;

// The one object through which device commands leave the program: a serial port (COM1..COM8), a parallel
// or USB printer port (LPT1..LPT8), a file chosen when the port is named File, or any other path.
//
// Every write is a blocking loop on the user-interface thread that runs the message step between
// attempts, so that the window stays alive and the stop command can run in the middle of a write.
//
// The stop flag belongs to the caller (the output device): a 32-bit integer, 0 while a pass runs and 1
// when idle or stopped. Open takes a pointer to it and sets it to 0; Close sets it to 1 and forgets it;
// every write checks it before each attempt and returns 0 once it is raised. The pointer must stay valid
// until Close. A null pointer means the output cannot be stopped.
//
// Open, Write and Close are virtual so that a recording port can stand in for a real one.
class CPlotPort {
public:
    // Binds Port.INI in the program folder and loads the settings.
    CPlotPort();
    // Binds the given settings file instead.
    explicit CPlotPort(const std::string& settingsPath);
    virtual ~CPlotPort();
    CPlotPort(const CPlotPort&) = delete;
    CPlotPort& operator=(const CPlotPort&) = delete;

    // Chooses the port by name (at most 149 characters are kept) and reloads the settings.
    void SelectPort(const char* name);
    // Opens the selected port. outMethod, for COM and LPT ports: 1 one byte per write call, 2 (and any
    // value but 0, 1 and 3) blocks, 3 as 2 without the message step after each write call, 0 as 1. File
    // and other names always write blocks. messageWindow: when not null, writes run the message step
    // (platform::messageStep); the port does not use it otherwise. Returns 1 when the port opened;
    // openError() then says why not.
    //
    // Block writes collect the strings of a pass and send them as soon as they fill a block of the
    // connection's size (64 KiB for a regular file, about 50 ms of sending for a device); Close sends the
    // rest. The stop flag is checked before every write call: once it is raised, what has not been sent
    // is dropped and the device holds exactly the beginning of the stream.
    virtual std::int32_t Open(std::int32_t outMethod, void* messageWindow, std::int32_t* stopFlag);
    // Hands over the bytes before the terminator. Returns 1 when all were taken (sent, or waiting for the
    // rest of their block), or when the port is not open (nothing is sent); 0 when stopped. A device that
    // takes nothing, or has gone, is retried at a pace of a few milliseconds until the stop flag is raised.
    virtual std::int32_t Write(const char* text);
    // Sends what is still waiting, unless stopped, and ends the connection.
    virtual void Close();

    void LoadSettings();
    void SaveSettings();

    const char* portName() const { return portName_; }
    // Why the last Open failed, for the window to show; empty after a successful Open.
    const std::string& openError() const { return openError_; }

    // The settings of Port.INI, as loaded; the port settings dialog edits them and saves them.
    PortSettings settings;

private:
    bool stopRaised() const { return stopFlag_ != nullptr && *stopFlag_ != 0; }
    void messageStep() const;
    void openConnection(int portNumber);
    bool chooseOutputFile(std::string& path);
    std::int32_t writeBytes(const char* text, std::size_t size);
    std::int32_t writeBlocks(const char* text, std::size_t size);
    std::int32_t sendWholeBlocks();

    char portName_[150] = {};
    std::int32_t* stopFlag_ = nullptr;
    void* messageWindow_ = nullptr;
    bool open_ = false;
    CProfile settingsFile_;
    std::int32_t outMethod_ = 2;
    // COM and LPT ports told to send one byte per call; every other port writes blocks.
    bool byteWrites_ = false;
    // Whether a block write runs the message step after the call as well as before it.
    bool stepAfterWrite_ = true;
    // Bytes handed over but not yet sent: less than one block between writes.
    std::string pending_;
    std::unique_ptr<PortConnection> connection_;
    std::string openError_;
};
