#include "ports/PortNames.h"

#include "ports/PortDevices.h"
#include "ports/PortKind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <strings.h>

namespace {

std::string entryText(const std::string& name, const PortDevice& device, const std::string& state)
{
    std::string note = device.description;
    if (!state.empty())
        note += note.empty() ? state : ", " + state;
    return name + "  " + device.path + (note.empty() ? "" : " (" + note + ")");
}

// A serial device is offered when its node exists. It is not opened here: opening a serial line raises
// its control lines, which the attached device may take as a signal.
std::optional<std::string> serialState(const std::string& path)
{
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return access(path.c_str(), W_OK) == 0 ? std::string() : std::string("no permission");
}

// A printer port is offered when it opens, or when it exists but is busy or not permitted.
std::optional<std::string> printerState(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        close(fd);
        return std::string();
    }
    if (errno == EBUSY)
        return std::string("busy");
    if (errno == EACCES || errno == EPERM)
        return std::string("no permission");
    return std::nullopt;
}

} // namespace

std::vector<std::string> listPortNames(int editionCode, const CProfile& portIni)
{
    std::vector<std::string> entries;
    for (int n = 1; n <= 4; ++n) {
        const PortDevice device = resolvePortDevice(n, portIni);
        if (auto state = serialState(device.path))
            entries.push_back(entryText("COM" + std::to_string(n), device, *state));
    }
    if (editionCode == kEditionWithoutFileOutput)
        return entries;
    for (int n = 1; n <= 4; ++n) {
        const PortDevice device = resolvePortDevice(kFirstParallelPort + n - 1, portIni);
        if (auto state = printerState(device.path))
            entries.push_back(entryText("LPT" + std::to_string(n), device, *state));
    }
    entries.emplace_back("File");
    return entries;
}

int findPortEntry(const std::vector<std::string>& entries, const std::string& storedPort)
{
    if (entries.empty())
        return -1;
    if (!storedPort.empty()) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].size() >= storedPort.size() &&
                strncasecmp(entries[i].c_str(), storedPort.c_str(), storedPort.size()) == 0)
                return static_cast<int>(i);
        }
    }
    return 0;
}

std::string portNameOfEntry(const std::string& entry) { return entry.substr(0, 4); }
