#pragma once

#include "jobs/IntakeFilter.h"

#include <map>
#include <string>
#include <vector>

// The server's log of what the receive folder holds beside its jobs: each file left out is logged once
// with its reason, and again only when the reason changes or the file has come back after it was gone.
class LeftOutReport {
public:
    // Takes the files the last scan left out, logging those not logged yet.
    void update(const std::vector<LeftOutFile>& leftOut);
    // Whether the last scan left any file out.
    bool any() const { return !logged_.empty(); }

    // The log line of one file left out.
    static std::string text(const LeftOutFile& file);

private:
    std::map<std::string, std::string> logged_;
};
