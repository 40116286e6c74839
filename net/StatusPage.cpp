#include "net/StatusPage.h"

#include "platform/PathMapping.h"
#include "plotdata/CPlot.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"
#include "plotdata/SvgPreview.h"

#include <sys/stat.h>

#include <pappl/pappl.h>

#include <memory>
#include <set>

namespace {

PreviewCell noted(std::string note)
{
    PreviewCell cell;
    cell.note = std::move(note);
    return cell;
}

bool servePage(pappl_client_t* client, void* page)
{
    const std::string html = static_cast<StatusPage*>(page)->render();
    if (!papplClientRespond(client, HTTP_STATUS_OK, nullptr, "text/html; charset=utf-8", 0, html.size()))
        return false;
    if (papplClientGetMethod(client) == HTTP_STATE_HEAD)
        return true;
    return httpWrite2(papplClientGetHTTP(client), html.data(), html.size()) >= 0;
}

} // namespace

void StatusPage::addTo(pappl_system_t* system)
{
    papplSystemAddResourceCallback(system, PATH, "text/html", servePage, this);
    papplSystemAddLink(system, "Plot queue", PATH,
                       static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_STATUS));
}

std::string StatusPage::render()
{
    const std::shared_ptr<const QueueSnapshot> snapshot = queue_.latest();
    if (!snapshot) {
        QueueSnapshot starting;
        starting.device = "(the server is starting)";
        starting.taken = std::time(nullptr);
        return statusPageHtml(starting, {}, {}, REFRESH_SECONDS);
    }
    std::vector<PreviewCell> cells;
    std::set<std::string> shown;
    for (const QueueSnapshot::Job& job : snapshot->jobs) {
        if (cells.size() == MAX_PREVIEWS) {
            cells.push_back(
                noted("Previews are shown for the first " + std::to_string(MAX_PREVIEWS) + " jobs only."));
            break;
        }
        cells.push_back(previewOf(job));
        shown.insert(platform::toFileSystemPath(job.path));
    }
    // Previews of jobs that have left the queue are not kept.
    const std::lock_guard lock(mutex_);
    std::erase_if(previews_, [&shown](const auto& entry) { return shown.count(entry.first) == 0; });
    return statusPageHtml(*snapshot, cells, journal_.recent(NETWORK_JOBS_SHOWN), REFRESH_SECONDS);
}

// The lock is held only to look up and to store: a large file loading for one reader does not hold up the
// others. Two readers may draw the same new file at once; the second to finish stores the same picture.
PreviewCell StatusPage::previewOf(const QueueSnapshot::Job& job)
{
    const std::string path = platform::toFileSystemPath(job.path);
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0)
        return noted("The file is gone.");
    Cached made;
    made.size = file.st_size;
    made.modifiedNs = std::int64_t{file.st_mtim.tv_sec} * 1000000000 + file.st_mtim.tv_nsec;
    {
        const std::lock_guard lock(mutex_);
        const auto cached = previews_.find(path);
        if (cached != previews_.end() && cached->second.size == made.size &&
            cached->second.modifiedNs == made.modifiedNs)
            return cached->second.cell;
    }
    std::unique_ptr<CPlot> plot;
    if (made.size > MAX_PREVIEW_FILE_BYTES) {
        made.cell = noted("Too large to preview.");
    } else if (loadPlot(plot, path) != RESULT_OK || !plot) {
        made.cell = noted("No preview: the file could not be read as a plot.");
    } else {
        SvgPreview preview = svgPreview(*plot, SvgPreviewLimits{});
        made.cell.svg = std::move(preview.svg);
        if (preview.cutShort)
            made.cell.note =
                "The preview shows the first " + std::to_string(preview.points) + " points of the drawing.";
    }
    const std::lock_guard lock(mutex_);
    previews_[path] = made;
    return made.cell;
}
