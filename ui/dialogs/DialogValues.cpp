#include "ui/dialogs/DialogValues.h"

#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "platform/Profile.h"
#include "platform/SettingKey.h"
#include "res/strings/Placeholders.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

// Truncates toward zero, holding the value to the int range; NaN gives 0.
int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

int parseInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

double parseDecimal(std::string_view text)
{
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string terminated(text);
    return ::strtod_l(terminated.c_str(), nullptr, cLocale);
}

std::string formatFixed(double value, int decimals)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string formatLength(int millimetres, int unit)
{
    if (unit == kUnitInch)
        return formatFixed(millimetres * kInchesPerMillimetre, 2);
    return std::to_string(millimetres);
}

int parseLength(std::string_view text, int unit)
{
    if (unit == kUnitInch)
        return truncateToInt(parseDecimal(text) * kMillimetresPerInch);
    return parseInteger(text);
}

int typedLength(std::string_view typed, const ShownValue<int>& shown, int unit)
{
    return shown.unchanged(typed) ? shown.value : parseLength(typed, unit);
}

std::string cutUtf8(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = maxBytes;
    // Step back over continuation bytes to the start of the character that does not fit.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

std::string readSettingText(const CProfile& file, const TextKey& key, std::size_t maxBytes)
{
    return cutUtf8(readSetting(file, key), maxBytes);
}

void reportSettingsNotSaved(const CProfile& file)
{
    platform::messageBox(
        fillPlaceholders(strings::localString(strings::IDS_SETTINGS_NOT_SAVED), {file.path()}), {},
        platform::MB_OK | platform::MB_ICONEXCLAMATION);
}
