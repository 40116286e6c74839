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
        return statusPageHtml(starting, {}, REFRESH_SECONDS);
    }
    std::vector<PreviewCell> cells;
    const std::lock_guard lock(mutex_);
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
    std::erase_if(previews_, [&shown](const auto& entry) { return shown.count(entry.first) == 0; });
    return statusPageHtml(*snapshot, cells, REFRESH_SECONDS);
}

PreviewCell StatusPage::previewOf(const QueueSnapshot::Job& job)
{
    const std::string path = platform::toFileSystemPath(job.path);
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0)
        return noted("The file is gone.");
    Cached& cached = previews_[path];
    const std::int64_t modifiedNs = std::int64_t{file.st_mtim.tv_sec} * 1000000000 + file.st_mtim.tv_nsec;
    if (cached.size == file.st_size && cached.modifiedNs == modifiedNs)
        return cached.cell;
    cached.size = file.st_size;
    cached.modifiedNs = modifiedNs;
    if (file.st_size > MAX_PREVIEW_FILE_BYTES) {
        cached.cell = noted("Too large to preview.");
        return cached.cell;
    }
    std::unique_ptr<CPlot> plot;
    if (loadPlot(plot, path) != RESULT_OK || !plot) {
        cached.cell = noted("No preview: the file could not be read as a plot.");
        return cached.cell;
    }
    SvgPreview preview = svgPreview(*plot, SvgPreviewLimits{});
    cached.cell.svg = std::move(preview.svg);
    cached.cell.note = preview.cutShort ? "The preview shows the first " + std::to_string(preview.points) +
                                              " points of the drawing."
                                        : "";
    return cached.cell;
}
