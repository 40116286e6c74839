#include "platform/CProfile.h"

#include "platform/Profile.h"
#include "platform/ProgramFolder.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

// getFloat reads at most this many characters of a value.
constexpr size_t floatTextLength = 19;
// getStringObj and getEscapedString read at most this many characters.
constexpr size_t rawTextLength = 199;

std::string orEmpty(const char* text) { return text ? text : ""; }

// "%.6f", with '.' whatever the process's locale says.
std::string formatFloat(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

// The C library's text-to-double conversion in the "C" locale, so that "2.5" means 2.5 everywhere.
double parseDouble(const std::string& text)
{
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return ::strtod_l(text.c_str(), nullptr, cLocale);
}

float toFloat(double value)
{
    if (std::isnan(value))
        return 0.0f;
    return static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The key names as one block: each name ends in NUL and one more NUL ends the block.
int copyKeyNames(const std::vector<std::string>& names, char* out, int size)
{
    std::string block;
    for (const std::string& name : names) {
        block += name;
        block += '\0';
    }
    block += '\0';
    const auto capacity = static_cast<size_t>(size);
    if (block.size() <= capacity) {
        // NOLINTNEXTLINE(bugprone-not-null-terminated-result): zero-filled
        std::memcpy(out, block.data(), block.size());
        return static_cast<int>(block.size() - 1);
    }
    // Too long for out: cut, and keep the two closing NULs (out was zero-filled).
    if (capacity < 2)
        return 0;
    std::memcpy(out, block.data(), capacity - 2);
    return size - 2;
}

std::string decodeEscapes(const std::string& raw)
{
    std::string decoded;
    size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i++];
        if (c != '\\') {
            decoded += c;
            continue;
        }
        if (i == raw.size())
            break;
        const char escape = raw[i++];
        switch (escape) {
        case '\\':
            decoded += '\\';
            break;
        case 'n':
            decoded += '\n';
            break;
        case 'r':
            decoded += '\r';
            break;
        case 'b':
            decoded += '\x07';
            break;
        case 'x':
        case 'X': {
            // Two characters are consumed in every case; the value stops at the first non-hex digit.
            if (raw.size() - i < 2) {
                i = raw.size();
                break;
            }
            const int high = hexDigitValue(raw[i]);
            const int low = hexDigitValue(raw[i + 1]);
            i += 2;
            const int value = high < 0 ? 0 : (low < 0 ? high : high * 16 + low);
            if (value != 0)
                decoded += static_cast<char>(value);
            break;
        }
        default:
            decoded += '\\';
            break;
        }
    }
    return decoded;
}

} // namespace

CProfile::CProfile() : path_(platform::programFolder() + "VARENK98.INI") {}

void CProfile::setPath(const char* path) { path_ = orEmpty(path); }

int CProfile::getInt(const char* section, const char* key, int defaultValue) const
{
    if (!section || !key)
        return defaultValue;
    return platform::getProfileInt(section, key, defaultValue, path_);
}

bool CProfile::setInt(const char* section, const char* key, int value)
{
    return setString(section, key, std::to_string(value).c_str());
}

float CProfile::getFloat(const char* section, const char* key, float defaultValue) const
{
    const std::string defaultText = formatFloat(defaultValue);
    std::string text =
        section && key ? platform::getProfileString(section, key, defaultText, path_) : defaultText;
    text.resize(std::min(text.size(), floatTextLength));
    return toFloat(parseDouble(text));
}

bool CProfile::setFloat(const char* section, const char* key, float value)
{
    if (!std::isfinite(value))
        return false;
    return setString(section, key, formatFloat(value).c_str());
}

int CProfile::getString(const char* section, const char* key, char* out, int size,
                        const char* defaultValue) const
{
    if (!out || size <= 0)
        return 0;
    std::memset(out, 0, static_cast<size_t>(size));
    if (section && !key)
        return copyKeyNames(platform::getProfileKeyNames(section, path_), out, size);
    const std::string text = section ? platform::getProfileString(section, key, orEmpty(defaultValue), path_)
                                     : orEmpty(defaultValue);
    const size_t length = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(out, text.data(), length); // NOLINT(bugprone-not-null-terminated-result): out is zero-filled
    return static_cast<int>(length);
}

void CProfile::getStringObj(const char* section, const char* key, std::string& out,
                            const char* defaultValue) const
{
    char buffer[rawTextLength + 1];
    getString(section, key, buffer, sizeof buffer, defaultValue);
    out = buffer;
}

void CProfile::getEscapedString(const char* section, const char* key, char* out, int size,
                                const char* defaultValue) const
{
    if (!out || size <= 0)
        return;
    std::memset(out, 0, static_cast<size_t>(size));
    std::string raw;
    getStringObj(section, key, raw, defaultValue);
    const std::string decoded = decodeEscapes(raw);
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result): zero-filled
    std::memcpy(out, decoded.data(), std::min(decoded.size(), static_cast<size_t>(size) - 1));
}

std::string CProfile::getText(const char* section, const char* key, const char* defaultValue) const
{
    if (!section || !key)
        return orEmpty(defaultValue);
    return platform::getProfileString(section, key, orEmpty(defaultValue), path_);
}

std::vector<std::string> CProfile::keyNames(const char* section) const
{
    return section ? platform::getProfileKeyNames(section, path_) : std::vector<std::string>();
}

bool CProfile::setString(const char* section, const char* key, const char* text)
{
    if (!section)
        return false;
    if (!key)
        return platform::deleteProfileSection(section, path_);
    if (!text)
        return platform::deleteProfileKey(section, key, path_);
    return platform::writeProfileString(section, key, text, path_);
}
