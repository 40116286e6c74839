#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>

class CProfile;
struct ServerSettings;

// The roll count (REMAINMEDIALENGTH) kept in step between the program's memory and Server.INI. The run
// takes the media of every copy off the count in memory and meets the file after every copy; an operator
// who reloads paper raises the count in the file (with the window's reload dialog or an editor) while
// marquill-server runs. Neither may undo the other: the media used since the last meeting is taken off
// whatever the file now holds.
class RollCount {
public:
    RollCount(CProfile& serverFile, ServerSettings& settings);

    // Takes the file and the count as they are now as the starting point.
    void remember();
    // Meets the file: when its modification time, size or identity changed since the last meeting, its
    // count is read; the media used since then is taken off it, the result becomes the count in memory
    // and is written back when it differs from the file. A file that holds the count in memory already
    // (the run wrote it itself) is taken as met; one that names no count says nothing about the roll,
    // and the count in memory stands. Returns true when someone else changed the count in the file.
    // writeFailed() tells whether the last write failed.
    bool sync();
    bool writeFailed() const { return writeFailed_; }

private:
    struct FileStamp {
        ino_t inode = 0;
        std::time_t seconds = 0;
        long nanoseconds = 0;
        off_t size = -1;
        bool operator==(const FileStamp&) const = default;
    };
    FileStamp stampNow() const;

    CProfile& serverFile_;
    ServerSettings& settings_;
    FileStamp stamp_;
    std::int32_t lastMet_ = 0;
    bool writeFailed_ = false;
};
