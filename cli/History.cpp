#include "cli/History.h"

#include "jobs/PlotJournal.h"

#include <algorithm>
#include <filesystem>

namespace {

std::string localTimeText(std::time_t time)
{
    if (time == 0)
        return "-";
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// A field quoted when it holds a comma, a quote or a line break; quotes doubled.
std::string csvField(const std::string& value)
{
    if (value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

int printHistory(const std::string& home, std::time_t since, bool csv, std::FILE* out)
{
    const std::string path = (std::filesystem::path(home) / "Journal.db").string();
    if (!std::filesystem::exists(path)) {
        std::fprintf(stderr, "marquill-plot: no plot journal in %s yet\n", home.c_str());
        return 1;
    }
    const PlotJournal journal(home);
    if (journal.writeFailed()) {
        std::fprintf(stderr, "marquill-plot: cannot read %s: %s\n", path.c_str(),
                     journal.lastError().c_str());
        return 1;
    }
    if (csv)
        std::fprintf(out, "started,ended,file,copy,copies,media_mm,result,text,sha256\n");
    for (const PlotJournal::CopyRecord& copy : journal.history(since)) {
        if (csv) {
            std::fprintf(out, "%s,%s,%s,%d,%d,%lld,%s,%s,%s\n", localTimeText(copy.started).c_str(),
                         copy.ended != 0 ? localTimeText(copy.ended).c_str() : "",
                         csvField(copy.userPath).c_str(), copy.number, copy.copies,
                         static_cast<long long>(copy.media), copy.result.c_str(), csvField(copy.text).c_str(),
                         copy.sha256.c_str());
            continue;
        }
        std::string output = copy.output;
        std::replace(output.begin(), output.end(), '\n', ' ');
        std::fprintf(out, "%s  %s  copy %d/%d  %6lld mm  %-9s %s%s%s%s%s\n",
                     localTimeText(copy.started).c_str(), localTimeText(copy.ended).c_str(), copy.number,
                     copy.copies, static_cast<long long>(copy.media), copy.result.c_str(),
                     copy.userPath.c_str(), copy.text.empty() ? "" : ": ", copy.text.c_str(),
                     output.empty() ? "" : " -> ", output.c_str());
    }
    return 0;
}
