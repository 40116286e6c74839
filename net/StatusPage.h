#pragma once

#include "jobs/NetworkJobJournal.h"
#include "jobs/QueueSnapshot.h"
#include "net/StatusPageHtml.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

struct _pappl_system_s;

// The status page of the network printer, a page of the printer system's own web server: the queue as the
// server last published it, with a preview of every job. Anyone who can reach the listener may read it,
// as they may send jobs; it changes nothing. The system serves it from its own threads: it reads only the
// published snapshot and the job files, never the queue itself.
class StatusPage {
public:
    static constexpr const char* PATH = "/queue";
    static constexpr int REFRESH_SECONDS = 5;
    // Previews on one page, and the largest file drawn: a page stays quick however long the queue.
    static constexpr std::size_t MAX_PREVIEWS = 40;
    static constexpr std::int64_t MAX_PREVIEW_FILE_BYTES = 64LL * 1024 * 1024;

    // The network jobs shown are the last ones the journal in journalFolder records.
    static constexpr int NETWORK_JOBS_SHOWN = 20;
    StatusPage(const SharedQueueSnapshot& queue, const std::string& journalFolder)
        : queue_(queue), journal_(journalFolder)
    {
    }

    // Adds the page to the system's resources, with a link from its web interface when that is on.
    void addTo(_pappl_system_s* system);
    // The page as it is now.
    std::string render();

private:
    PreviewCell previewOf(const QueueSnapshot::Job& job);

    struct Cached {
        std::int64_t size = -1;
        std::int64_t modifiedNs = 0;
        PreviewCell cell;
    };

    const SharedQueueSnapshot& queue_;
    const NetworkJobJournal journal_;
    // Previews by file-system path, made once for each version of a file.
    std::mutex mutex_;
    std::map<std::string, Cached> previews_;
};
