#pragma once

#include "jobs/CJobList.h"

// The manual list: the files of the manual receive folder, one column, from which the operator sends
// single jobs into the automatic queue. Its jobs are never plotted from here.
class CManualJobList : public CJobList {
public:
    explicit CManualJobList(const ServerSettings& settings);

    // Appends a row for the path unless a row already has it (any letter case) or it does not fit a job.
    // The new job is in standby: manual jobs carry no queue state of their own. Returns the new row or -1.
    int addManualJob(std::string_view path);
};
