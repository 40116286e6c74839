#include "jobs/QueueStore.h"

#include "jobs/CAutoJobList.h"
#include "platform/FileReplace.h"
#include "platform/PathMapping.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace queuestore {
namespace {

using Record = std::map<std::string, std::string>;

// A kept value back as an integer of the field's type; a value that is no number, or does not fit,
// leaves the field as it is.
template <typename T> void readNumber(const Record& record, const char* key, T& field)
{
    const auto found = record.find(key);
    if (found == record.end())
        return;
    T value{};
    const std::string& text = found->second;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size())
        field = value;
}

// The sections of the file in order, each as its keys and values. Values are kept to the end of their
// line, so that paths keep their blanks.
std::vector<Record> readRecords(const std::string& file)
{
    std::vector<Record> records;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            records.emplace_back();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (records.empty() || equals == std::string::npos)
            continue;
        records.back()[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return records;
}

// Line breaks cannot be kept in a line of the file; a message text is cut at its first.
std::string oneLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

} // namespace

bool save(const std::string& file, const CAutoJobList& list)
{
    std::string text;
    int number = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        const CPlotJob* job = list.jobAt(row);
        // A path with a line break cannot be kept on a line of its own.
        if (job == nullptr || std::strpbrk(job->path, "\r\n") != nullptr)
            continue;
        const auto line = [&text](const char* key, const std::string& value) {
            text += key;
            text += '=';
            text += value;
            text += '\n';
        };
        text += "[Job" + std::to_string(++number) + "]\n";
        line("Path", job->path);
        line("State", std::to_string(job->state));
        line("Copies", std::to_string(job->copies));
        line("CopiesDone", std::to_string(job->copiesDone));
        line("Options", std::to_string(job->options));
        line("StartOffset", std::to_string(job->startOffset));
        line("SectionLength", std::to_string(job->sectionLength));
        line("OverLap", std::to_string(job->overlap));
        line("SectionLimit", std::to_string(job->sectionLimit));
        line("Length", std::to_string(job->length));
        line("Width", std::to_string(job->width));
        line("MessageId", std::to_string(job->messageId));
        line("MessageText", oneLine(job->messageText));
    }
    return platform::replaceFileContent(file, text);
}

int restore(const std::string& file, CAutoJobList& list)
{
    int listed = 0;
    for (const Record& record : readRecords(file)) {
        const auto path = record.find("Path");
        if (path == record.end() || !CPlotJob::pathFits(path->second))
            continue;
        std::error_code error;
        if (!std::filesystem::is_regular_file(platform::toFileSystemPath(path->second), error))
            continue;
        auto job = std::make_unique<CPlotJob>();
        std::memcpy(job->path, path->second.data(), path->second.size());
        job->state = CPlotJob::STATE_WAITING;
        readNumber(record, "State", job->state);
        readNumber(record, "Copies", job->copies);
        readNumber(record, "CopiesDone", job->copiesDone);
        readNumber(record, "Options", job->options);
        readNumber(record, "StartOffset", job->startOffset);
        readNumber(record, "SectionLength", job->sectionLength);
        readNumber(record, "OverLap", job->overlap);
        readNumber(record, "SectionLimit", job->sectionLimit);
        readNumber(record, "Length", job->length);
        readNumber(record, "Width", job->width);
        readNumber(record, "MessageId", job->messageId);
        if (const auto text = record.find("MessageText"); text != record.end())
            job->messageText = text->second;
        if (list.addJob(path->second, std::move(job)) >= 0)
            ++listed;
    }
    return listed;
}

} // namespace queuestore
