#include "net/StatusPageHtml.h"

#include "jobs/CPlotJob.h"
#include "jobs/JobTexts.h"
#include "output/PlotTimeMeter.h"

#include <ctime>

namespace {

constexpr const char* STYLE =
    "body{font-family:sans-serif;margin:1em 2em;color:#222}"
    "table{border-collapse:collapse;margin-bottom:1.5em}"
    "th,td{border:1px solid #bbb;padding:4px 8px;text-align:left;vertical-align:middle}"
    "th{background:#eee}tr.running td{background:#e8f2ff}tr.failed td.state{color:#b00}"
    "tr.finished td.state{color:#070}svg{border:1px solid #ccc;display:block}"
    "td.note,p.note{color:#666;font-style:italic}";

// The last part of a path in either form: the folders a job came from say nothing to whoever reads the
// page.
std::string_view fileName(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

const char* stateClass(const QueueSnapshot::Job& job)
{
    if (job.running)
        return "running";
    switch (job.state) {
    case CPlotJob::STATE_WAITING:
        return "waiting";
    case CPlotJob::STATE_STANDBY:
        return "standby";
    case CPlotJob::STATE_FAILED:
        return "failed";
    case CPlotJob::STATE_FINISHED:
        return "finished";
    default:
        return "other";
    }
}

std::string localTime(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string sizeText(const QueueSnapshot::Job& job, bool inchUnits)
{
    if (job.length <= 0)
        return "not measured yet";
    return lengthText(job.length, inchUnits) + " \u00d7 " + lengthText(job.width, inchUnits);
}

void writeJobs(std::string& page, const QueueSnapshot& snapshot, const std::vector<PreviewCell>& previews)
{
    page += "<table id=\"queue\"><thead><tr><th>File</th><th>State</th><th>Copies done/ordered</th>"
            "<th>Length \u00d7 width</th><th>Time left</th><th>Preview</th></tr></thead><tbody>";
    if (snapshot.jobs.empty())
        page += "<tr><td colspan=\"6\" class=\"note\">No jobs in the queue.</td></tr>";
    for (std::size_t row = 0; row < snapshot.jobs.size(); ++row) {
        const QueueSnapshot::Job& job = snapshot.jobs[row];
        page += "<tr class=\"job ";
        page += stateClass(job);
        page += "\"><td class=\"name\">" + htmlEscape(fileName(job.path)) + "</td><td class=\"state\">" +
                htmlEscape(job.stateText) + "</td><td class=\"copies\">" + std::to_string(job.copiesDone) +
                "/" + std::to_string(job.copies) + "</td><td class=\"length\">" +
                htmlEscape(sizeText(job, snapshot.inchUnits)) + "</td><td class=\"time\">" +
                (job.secondsLeft >= 0 ? "about " + plotTimeText(job.secondsLeft) : std::string()) +
                "</td><td class=\"preview\">";
        if (row < previews.size() && !previews[row].svg.empty())
            page += previews[row].svg;
        if (row < previews.size() && !previews[row].note.empty())
            page += "<p class=\"note\">" + htmlEscape(previews[row].note) + "</p>";
        page += "</td></tr>";
    }
    page += "</tbody></table>";
}

void writeFailures(std::string& page, const QueueSnapshot& snapshot)
{
    page += "<h2>Last failures</h2>";
    if (snapshot.failures.empty()) {
        page += "<p id=\"failures\" class=\"note\">None recorded.</p>";
        return;
    }
    page += "<table id=\"failures\"><thead><tr><th>Ended</th><th>File</th><th>Copy</th><th>Why</th></tr>"
            "</thead><tbody>";
    for (const QueueSnapshot::Failure& failure : snapshot.failures)
        page += "<tr><td>" + (failure.ended != 0 ? localTime(failure.ended) : std::string("-")) +
                "</td><td>" + htmlEscape(fileName(failure.path)) + "</td><td>" +
                std::to_string(failure.number) + "/" + std::to_string(failure.copies) + "</td><td>" +
                htmlEscape(failure.text) + "</td></tr>";
    page += "</tbody></table>";
}

void writeNetworkJobs(std::string& page, const std::vector<NetworkJobJournal::Job>& jobs)
{
    page += "<h2>Network jobs</h2>";
    if (jobs.empty()) {
        page += "<p id=\"network-jobs\" class=\"note\">None recorded.</p>";
        return;
    }
    page += "<table id=\"network-jobs\"><thead><tr><th>Job</th><th>Name</th><th>From</th><th>Copies</th>"
            "<th>State</th><th>Ended</th></tr></thead><tbody>";
    for (const NetworkJobJournal::Job& job : jobs) {
        const std::string state = job.ended != 0 ? job.state + ": " + job.message : "in the queue";
        page += "<tr><td>" + std::to_string(job.id) + "</td><td>" + htmlEscape(job.name) + "</td><td>" +
                htmlEscape(job.user) + "</td><td>" + std::to_string(job.copies) + "</td><td>" +
                htmlEscape(state) + "</td><td>" + (job.ended != 0 ? localTime(job.ended) : std::string("-")) +
                "</td></tr>";
    }
    page += "</tbody></table>";
}

} // namespace

std::string htmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            // Control characters have no business on the page; a file name may still carry them.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
                escaped += "\ufffd";
            else
                escaped += c;
        }
    }
    return escaped;
}

std::string statusPageHtml(const QueueSnapshot& snapshot, const std::vector<PreviewCell>& previews,
                           const std::vector<NetworkJobJournal::Job>& networkJobs, int refreshSeconds)
{
    std::string page = "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
                       "<meta http-equiv=\"refresh\" content=\"" +
                       std::to_string(refreshSeconds) +
                       "\"><meta name=\"viewport\" content=\"width=device-width\">"
                       "<title>Marquill plot queue</title><style>" +
                       std::string(STYLE) + "</style></head><body><h1>Plot queue</h1>";
    page += "<p id=\"device\">Device: " + htmlEscape(snapshot.device) + "</p>";
    page += "<p id=\"roll\">Roll left: " +
            htmlEscape(lengthText(static_cast<int>(snapshot.mediaLeft), snapshot.inchUnits)) + "</p>";
    writeJobs(page, snapshot, previews);
    writeFailures(page, snapshot);
    writeNetworkJobs(page, networkJobs);
    page += "<p class=\"note\">As of " + localTime(snapshot.taken) + "; this page reloads every " +
            std::to_string(refreshSeconds) + " seconds.</p></body></html>";
    return page;
}
