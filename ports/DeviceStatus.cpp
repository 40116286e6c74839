#include "ports/DeviceStatus.h"

#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

namespace {

// The ESC.E numbers: 10 an output request while another was answered, 11 to 14 faults in a device-control
// instruction, 15 a framing, parity or overrun error, 16 the input buffer overflowed.
constexpr long kLineError = 15;
constexpr long kBufferOverflow = 16;

} // namespace

std::string pausedText(long status)
{
    if ((status & kStatusLeverUp) != 0)
        return strings::localString(strings::IDS_DEVICE_LEVER_UP);
    if ((status & kStatusViewPressed) != 0)
        return strings::localString(strings::IDS_DEVICE_VIEW_PRESSED);
    return {};
}

std::string deviceErrorText(long error)
{
    if (error == 0)
        return {};
    if (error == kBufferOverflow)
        return strings::resultString(strings::IDS_DEVICE_BUFFER_OVERFLOW);
    if (error == kLineError)
        return strings::resultString(strings::IDS_DEVICE_LINE_ERROR);
    return fillPlaceholders(strings::resultString(strings::IDS_DEVICE_CONTROL_ERROR),
                            {std::to_string(error)});
}

std::string hpglErrorText(long error)
{
    if (error == 0)
        return {};
    return fillPlaceholders(strings::resultString(strings::IDS_DEVICE_HPGL_ERROR), {std::to_string(error)});
}
