#include "ports/DeviceProbe.h"

#include "ports/BufferQuery.h"
#include "ports/CPlotPort.h"
#include "ports/DeviceReply.h"
#include "ports/DeviceStatus.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

namespace {

// The number the device answers, or -1; false when it could not be asked at all (hung up).
bool askNumber(BufferQuery& query, const char* request, long& value, std::string& failure)
{
    std::string reply;
    if (query.question(request, reply) != BufferQuery::Outcome::Done) {
        value = -1;
        if (query.failure() != strings::resultString(strings::IDS_DEVICE_NO_ANSWER))
            failure = query.failure();
        return failure.empty();
    }
    value = replyNumber(reply).value_or(-1);
    return true;
}

} // namespace

DeviceProbe probeDevice(CPlotPort& port)
{
    DeviceProbe probe;
    probe.opened = port.OpenToListen();
    if (!probe.opened) {
        probe.openError = port.openError();
        return probe;
    }
    BufferQuery query(*port.deviceLine(), port.lineBytesPerSecond());
    // The buffer questions go on only while the device answers them.
    const struct {
        const char* request;
        long& value;
    } questions[] = {{"\x1B.L", probe.bufferSize},
                     {"\x1B.B", probe.freeSpace},
                     {"\x1B.O", probe.status},
                     {"\x1B.E", probe.error}};
    for (const auto& question : questions) {
        if (!askNumber(query, question.request, question.value, probe.failure) || question.value < 0)
            break;
    }
    std::string identity;
    if (probe.failure.empty() && query.question("OI;", identity) == BufferQuery::Outcome::Done)
        probe.identity = printableReply(identity);
    port.Close();
    return probe;
}

std::vector<std::string> describeProbe(const DeviceProbe& probe)
{
    using namespace strings;
    if (!probe.opened)
        return {probe.openError};
    std::vector<std::string> lines;
    if (!probe.identity.empty())
        lines.push_back(fillPlaceholders(localString(IDS_PROBE_IDENTITY), {probe.identity}));
    if (probe.answersBufferQuery())
        lines.push_back(fillPlaceholders(localString(IDS_PROBE_BUFFER), {std::to_string(probe.bufferSize),
                                                                         std::to_string(probe.freeSpace)}));
    if (probe.status >= 0)
        lines.push_back(deviceIsPaused(probe.status) ? pausedText(probe.status)
                                                     : localString(IDS_PROBE_READY));
    if (probe.error > 0)
        lines.push_back(deviceErrorText(probe.error));
    if (!probe.failure.empty())
        lines.push_back(probe.failure);
    if (probe.answersBufferQuery())
        lines.push_back(localString(IDS_PROBE_CHOOSE_BUFFER_QUERY));
    else
        lines.push_back(localString(lines.empty() ? IDS_PROBE_SILENT : IDS_PROBE_NO_BUFFER_QUERY));
    return lines;
}
