#include "ports/PortDevices.h"

#include "platform/CProfile.h"
#include "ports/PortFileKeys.h"
#include "ports/PortKind.h"

#include <libserialport.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string textOrEmpty(const char* text) { return text != nullptr ? text : std::string(); }

std::string describeSerialPort(const sp_port* port)
{
    if (sp_get_port_transport(port) == SP_TRANSPORT_USB) {
        std::string maker = textOrEmpty(sp_get_port_usb_manufacturer(port));
        std::string product = textOrEmpty(sp_get_port_usb_product(port));
        std::string text = maker.empty() ? product : (product.empty() ? maker : maker + " " + product);
        return text.empty() ? "USB serial" : text + ", USB serial";
    }
    return textOrEmpty(sp_get_port_description(port));
}

// Orders names so that runs of digits compare by value.
bool naturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = std::isdigit(static_cast<unsigned char>(a[i]));
        const bool digitB = std::isdigit(static_cast<unsigned char>(b[j]));
        if (digitA && digitB) {
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && std::isdigit(static_cast<unsigned char>(a[endA])))
                ++endA;
            while (endB < b.size() && std::isdigit(static_cast<unsigned char>(b[endB])))
                ++endB;
            // Compare by value without converting: skip leading zeros, then the longer run is larger.
            std::size_t startA = i;
            std::size_t startB = j;
            while (startA + 1 < endA && a[startA] == '0')
                ++startA;
            while (startB + 1 < endB && b[startB] == '0')
                ++startB;
            if (endA - startA != endB - startB)
                return endA - startA < endB - startB;
            const int order = a.compare(startA, endA - startA, b, startB, endB - startB);
            if (order != 0)
                return order < 0;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::vector<std::string> devicesMatching(const std::string& folder, const std::string& prefix)
{
    std::vector<std::string> paths;
    std::error_code error;
    // Stepped with an error code: a folder that cannot be read to its end lists what was read, where the
    // range-for's increment would throw.
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            std::isdigit(static_cast<unsigned char>(name[prefix.size()])))
            paths.push_back(it->path().string());
    }
    std::sort(paths.begin(), paths.end(), naturalLess);
    return paths;
}

} // namespace

std::vector<PortDevice> listSerialDevices()
{
    std::vector<PortDevice> builtIn;
    std::vector<PortDevice> others;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return {};
    for (sp_port** port = ports; *port != nullptr; ++port) {
        PortDevice device{textOrEmpty(sp_get_port_name(*port)), describeSerialPort(*port)};
        (sp_get_port_transport(*port) == SP_TRANSPORT_NATIVE ? builtIn : others).push_back(std::move(device));
    }
    sp_free_port_list(ports);
    const auto byPath = [](const PortDevice& a, const PortDevice& b) { return naturalLess(a.path, b.path); };
    std::sort(builtIn.begin(), builtIn.end(), byPath);
    std::sort(others.begin(), others.end(), byPath);
    builtIn.insert(builtIn.end(), others.begin(), others.end());
    return builtIn;
}

std::vector<PortDevice> listPrinterDevices()
{
    std::vector<PortDevice> devices;
    for (const std::string& path : devicesMatching("/dev/usb", "lp"))
        devices.push_back({path, "USB printer"});
    for (const std::string& path : devicesMatching("/dev", "lp"))
        devices.push_back({path, "parallel port"});
    return devices;
}

PortDevice resolvePortDevice(int portNumber, const CProfile& portIni)
{
    const bool serial = isSerialPort(portNumber);
    if (!serial && !isParallelPort(portNumber))
        return {};
    const int index = serial ? portNumber - 1 : portNumber - kFirstParallelPort;
    const std::string name = (serial ? "COM" : "LPT") + std::to_string(index + 1);
    char mapped[150];
    if (portIni.getString(PortMapKeys::kSection, name.c_str(), mapped, sizeof mapped, "") > 0)
        return {mapped, {}};
    std::vector<PortDevice> devices = serial ? listSerialDevices() : listPrinterDevices();
    if (static_cast<std::size_t>(index) < devices.size())
        return devices[static_cast<std::size_t>(index)];
    return {};
}
