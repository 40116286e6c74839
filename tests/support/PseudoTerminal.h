#pragma once

#include <pty.h>
#include <unistd.h>

#include <string>

// A pseudo-terminal pair standing in for a serial device: the port writes to the slave path, the test
// reads from the master. The slave stays open here too, so that its line state can be read back.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0)
            slavePath_ = name;
    }
    ~PseudoTerminal()
    {
        closeMaster();
        close(slave_);
    }
    bool ok() const { return !slavePath_.empty(); }
    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& slavePath() const { return slavePath_; }
    // The device goes away: later writes to the slave fail with EIO.
    void closeMaster() { master_ = master_ >= 0 ? (close(master_), -1) : -1; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
