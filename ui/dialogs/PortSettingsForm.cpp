#include "ui/dialogs/PortSettingsForm.h"

#include "ui/dialogs/DialogValues.h"

#include <string_view>

namespace {

constexpr std::size_t kParityCount = 5;   // none, odd, even, mark, space
constexpr std::size_t kStopBitsCount = 3; // 1, 1.5, 2

// The first entry that starts with the decimal text of value, as a drop-down list finds typed text.
template <std::size_t N> int findDecimal(const std::array<const char*, N>& entries, unsigned value)
{
    const std::string text = std::to_string(value);
    for (std::size_t i = 0; i < N; ++i) {
        if (std::string_view(entries[i]).starts_with(text))
            return static_cast<int>(i);
    }
    return -1;
}

// value when it is a position in a list of count entries, else -1 (no selection).
int indexIn(int value, std::size_t count)
{
    return value >= 0 && static_cast<std::size_t>(value) < count ? value : -1;
}

} // namespace

void PortSettingsForm::open()
{
    loaded_.load(portFile_);
    show();
}

void PortSettingsForm::restore()
{
    loaded_.TranSpeed = 9600;
    loaded_.OECheck = 0;
    loaded_.DataWidth = 8;
    loaded_.StopBits = 0;
    loaded_.FlowCtrl = kFlowRtsCts;
    show();
}

void PortSettingsForm::show()
{
    speedIndex = findDecimal(kSpeeds, loaded_.TranSpeed);
    parityIndex = indexIn(loaded_.OECheck, kParityCount);
    dataBitsIndex = findDecimal(kDataBits, loaded_.DataWidth);
    stopBitsIndex = indexIn(loaded_.StopBits, kStopBitsCount);
    rtsCts = (loaded_.FlowCtrl & kFlowRtsCts) != 0;
    xonXoff = (loaded_.FlowCtrl & kFlowXonXoff) != 0;
    dtrDsr = (loaded_.FlowCtrl & kFlowDtrDsr) != 0;
}

void PortSettingsForm::confirm()
{
    const PortSettings saved = shownSettings();
    saved.save(portFile_);
    loaded_ = saved;
}

PortSettings PortSettingsForm::shownSettings() const
{
    PortSettings saved = loaded_;
    if (indexIn(speedIndex, kSpeeds.size()) >= 0)
        saved.TranSpeed = static_cast<std::uint32_t>(parseInteger(kSpeeds[speedIndex]));
    if (indexIn(parityIndex, kParityCount) >= 0)
        saved.OECheck = static_cast<std::uint16_t>(parityIndex);
    if (indexIn(dataBitsIndex, kDataBits.size()) >= 0)
        saved.DataWidth = static_cast<std::uint16_t>(parseInteger(kDataBits[dataBitsIndex]));
    if (indexIn(stopBitsIndex, kStopBitsCount) >= 0)
        saved.StopBits = static_cast<std::uint16_t>(stopBitsIndex);
    saved.FlowCtrl = static_cast<std::uint8_t>((rtsCts ? kFlowRtsCts : 0) | (dtrDsr ? kFlowDtrDsr : 0) |
                                               (xonXoff ? kFlowXonXoff : 0));
    return saved;
}
