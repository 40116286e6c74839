#pragma once

#include <cstdint>
#include <string>

// What a job's file was when it was loaded: its identity on the file system and a SHA-256 of its content.
// A file is "still that file" while inode, size and modification time (to the nanosecond) are unchanged.
struct ContentStamp {
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    // Lower-case hexadecimal; empty when the file could not be read.
    std::string sha256;

    bool valid() const { return !sha256.empty(); }
    bool sameFile(const ContentStamp& other) const
    {
        return inode == other.inode && size == other.size && modifiedNs == other.modifiedNs;
    }
};

// The file's identity only, without reading it; size -1 when it cannot be read.
ContentStamp fileIdentity(const std::string& fileSystemPath);
// The identity and the hash of the content. The file is read twice at most: a file that changes while it
// is hashed is hashed again; one that keeps changing gets an empty hash.
ContentStamp stampFile(const std::string& fileSystemPath);
