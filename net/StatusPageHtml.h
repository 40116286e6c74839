#pragma once

#include "jobs/NetworkJobJournal.h"
#include "jobs/QueueSnapshot.h"

#include <string>
#include <string_view>
#include <vector>

// Text made safe for HTML, in element content and in quoted attribute values alike.
std::string htmlEscape(std::string_view text);

// The preview cell of one job: an <svg> element made by svgPreview, or a note in plain text when there
// is none.
struct PreviewCell {
    std::string svg;
    std::string note;
};

// The status page: the queue with every job's state, copies, size and preview, the roll left, the last
// failures and the jobs that came in over IPP, newest first. It reloads itself every refreshSeconds.
// previews holds one cell per job of the snapshot, or fewer (the jobs after them show none).
std::string statusPageHtml(const QueueSnapshot& snapshot, const std::vector<PreviewCell>& previews,
                           const std::vector<NetworkJobJournal::Job>& networkJobs, int refreshSeconds);
