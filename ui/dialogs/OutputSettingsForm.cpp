#include "ui/dialogs/OutputSettingsForm.h"

#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/DeviceFileKeys.h"
#include "output/ServerFileKeys.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "ports/PortNames.h"
#include "ui/dialogs/DialogValues.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The longest device name written back as the selected device.
constexpr std::size_t kDeviceNameMax = 199;

// The character that marks pen i as dashed in the dashed-pen list.
char dashMark(int pen) { return static_cast<char>('0' + pen); }

// A typed number that a float field can hold: finite, and not below minimum.
bool fitsFloat(double value, double minimum)
{
    return std::isfinite(value) && value >= minimum && value <= static_cast<double>(FLT_MAX);
}

} // namespace

bool OutputSettingsForm::deviceChoiceShown() const
{
    return settings_.editionCode != kEditionWithoutFileOutput;
}

std::string OutputSettingsForm::deviceName() const
{
    if (deviceIndex < 0 || deviceIndex >= static_cast<int>(devices.size()))
        return {};
    return cutUtf8(devices[static_cast<std::size_t>(deviceIndex)], kDeviceNameMax);
}

void OutputSettingsForm::open()
{
    const ServerSettings& server = settings_.server;
    devices = settings_.deviceFile.keyNames(CutterDevicesKeys::kSection);
    settings_.cutInfo.loadCutInfo(settings_.deviceFile);
    // The stored device is found as the stored port is: by the beginning of its name, ignoring case.
    deviceIndex = findPortEntry(devices, readSettingText(settings_.deviceFile, CutInfoKeys::Device, 79));

    ports = listPortNames(settings_.editionCode, settings_.portFile);
    portIndex =
        findPortEntry(ports, readSettingText(settings_.deviceFile, withDefault(CutInfoKeys::Port, ""), 79));

    sectionText = showLength(shownSection_, server.Section);
    overlapText = showLength(shownOverlap_, server.OverLap);
    pageGapText = showLength(shownPageGap_, settings_.cutInfo.mmPageGap);
    plotterOffsetText = showLength(shownPlotterOffset_, server.PloterOffset);
    autoRotate = server.AutoRotate != 0;
    pageOut = server.PageOut != 0;
    mirror = server.MirrorY != 0;
    sortPlot = server.SortPlot != 0;
    adjustOrigin = server.AdjustOrg != 0;
    dashPlot = server.DashPlot != 0;
    sendFeed = server.SendPG != 0;
    lineMark = server.LineMark != 0;
    storedDashedPens = readSettingText(settings_.deviceFile, CutInfoKeys::SP2Dash, 79);
    fillPens();
}

std::string OutputSettingsForm::showLength(ShownValue<int>& shown, int millimetres)
{
    shown = {millimetres, formatLength(millimetres, settings_.server.unit)};
    return shown.text;
}

void OutputSettingsForm::selectDevice(int index)
{
    deviceIndex = index;
    fillPens();
}

void OutputSettingsForm::fillPens()
{
    const std::string dashed = cutUtf8(storedDashedPens, 39);
    CPlotterDevice& device = settings_.device;
    device.loadProfile(settings_.deviceFile, deviceName().c_str());
    pens.clear();
    // The highest pen, MaxPen itself, gets no row: its offset and dash stay as loaded.
    for (int pen = 0; pen < device.MaxPen; ++pen) {
        PenRow row;
        row.dashed = dashed.find(dashMark(pen)) != std::string::npos;
        const float offset = device.penOffsets[pen];
        row.offset = {offset, offset > 0.0f ? formatFixed(offset, 2) : "-"};
        row.offsetText = row.offset.text;
        pens.push_back(row);
    }
    shownRatioX_ = {device.RatioX, formatFixed(device.RatioX, 5)};
    shownRatioY_ = {device.RatioY, formatFixed(device.RatioY, 5)};
    ratioXText = shownRatioX_.text;
    ratioYText = shownRatioY_.text;
    shownHandshake_ = device.Handshake;
    handshake = shownHandshake_;
}

void OutputSettingsForm::setMirror(bool on)
{
    mirror = on;
    if (on)
        adjustOrigin = true;
}

void OutputSettingsForm::toggleDashed(int row)
{
    if (row >= 0 && row < static_cast<int>(pens.size()))
        pens[static_cast<std::size_t>(row)].dashed = !pens[static_cast<std::size_t>(row)].dashed;
}

std::optional<OutputSettingsForm::Field> OutputSettingsForm::confirm()
{
    ServerSettings& server = settings_.server;
    CCutInfo& cutInfo = settings_.cutInfo;
    CPlotterDevice& device = settings_.device;
    CProfile& serverFile = settings_.serverFile;
    CProfile& deviceFile = settings_.deviceFile;

    // Everything is checked before anything changes, so a refused value leaves the settings as they were.
    const int unit = server.unit;
    const int section = typedLength(sectionText, shownSection_, unit);
    const int overlap = typedLength(overlapText, shownOverlap_, unit);
    const int pageGap = typedLength(pageGapText, shownPageGap_, unit);
    const int plotterOffset = typedLength(plotterOffsetText, shownPlotterOffset_, unit);
    if (section < 0)
        return Field::Section;
    if (overlap < 0)
        return Field::OverLap;
    if (pageGap < 0)
        return Field::PageGap;
    std::vector<float> offsets;
    for (const PenRow& row : pens) {
        const bool unchanged = row.offset.unchanged(row.offsetText);
        const double offset = unchanged ? row.offset.value : parseDecimal(row.offsetText);
        if (!unchanged && !fitsFloat(offset, 0.0))
            return Field::PenOffset;
        offsets.push_back(static_cast<float>(offset));
    }
    const double ratioX = shownRatioX_.unchanged(ratioXText) ? shownRatioX_.value : parseDecimal(ratioXText);
    const double ratioY = shownRatioY_.unchanged(ratioYText) ? shownRatioY_.value : parseDecimal(ratioYText);
    // A ratio too small for a float would be stored as 0, which the device load turns into 1.
    if (!fitsFloat(ratioX, FLT_MIN))
        return Field::RatioX;
    if (!fitsFloat(ratioY, FLT_MIN))
        return Field::RatioY;

    server.OverLap = overlap;
    server.Section = section;
    cutInfo.mmPageGap = static_cast<std::uint16_t>(pageGap > 0xFFFF ? 0xFFFF : pageGap);
    server.PloterOffset = plotterOffset;
    writeSetting(serverFile, SystemKeys::OverLap, server.OverLap);
    writeSetting(serverFile, SystemKeys::Section, server.Section);
    writeSetting(serverFile, SystemKeys::PloterOffset, server.PloterOffset);

    const std::string name = deviceName();
    writeSetting(deviceFile, CutInfoKeys::Device, name.c_str());
    device.loadProfile(deviceFile, name.c_str());

    const std::string port =
        portIndex >= 0 && portIndex < static_cast<int>(ports.size()) ? portNameOfEntry(ports[portIndex]) : "";
    std::snprintf(cutInfo.Port, sizeof cutInfo.Port, "%s", port.c_str());
    cutInfo.saveCutInfo(deviceFile);

    const struct {
        const IntKey& key;
        bool on;
        std::int32_t& setting;
    } switches[] = {
        {SystemKeys::AutoRotate, autoRotate, server.AutoRotate},
        {SystemKeys::PageOut, pageOut, server.PageOut},
        {SystemKeys::MirrorY, mirror, server.MirrorY},
        {SystemKeys::SortPlot, sortPlot, server.SortPlot},
        {SystemKeys::AdjustOrg, adjustOrigin, server.AdjustOrg},
        {SystemKeys::DashPlot, dashPlot, server.DashPlot},
        {SystemKeys::SendPG, sendFeed, server.SendPG},
        {SystemKeys::LineMark, lineMark, server.LineMark},
    };
    for (const auto& s : switches) {
        s.setting = s.on ? 1 : 0;
        writeSetting(serverFile, s.key, s.setting);
    }

    std::string dashedPens;
    for (std::size_t pen = 0; pen < pens.size(); ++pen) {
        if (pens[pen].dashed)
            dashedPens += dashMark(static_cast<int>(pen));
        device.penOffsets[pen] = offsets[pen];
    }
    writeSetting(deviceFile, CutInfoKeys::SP2Dash, dashedPens.c_str());
    std::snprintf(device.SP2Dash, sizeof device.SP2Dash, "%s", dashedPens.c_str());

    device.RatioX = static_cast<float>(ratioX);
    device.RatioY = static_cast<float>(ratioY);
    device.saveProfile(deviceFile);
    // Written only when chosen anew, so that a profile without the key is left as it was.
    if (handshake != shownHandshake_ && device.sectionName[0] != '\0') {
        device.Handshake = corrected(DeviceKeys::Handshake, handshake);
        writeSetting(deviceFile, inSection(DeviceKeys::Handshake, device.sectionName), device.Handshake);
        shownHandshake_ = device.Handshake;
    }
    return std::nullopt;
}
