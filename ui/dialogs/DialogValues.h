#pragma once

#include <string>
#include <string_view>

class CProfile;
struct TextKey;

// How the settings dialogs show numbers and read back what was typed. Lengths are stored as whole
// millimetres; in inch units they are shown as inches and typed inches are turned back into millimetres,
// truncated toward zero. Decimal points are '.', whatever the process's locale says.

constexpr double kInchesPerMillimetre = 0.03937007874015748;
constexpr double kMillimetresPerInch = 25.4;
constexpr int kUnitMillimetre = 0;
constexpr int kUnitInch = 1;

// An optional sign and the decimal digits after it, held to the int range; 0 for anything else.
int parseInteger(std::string_view text);
// The decimal number the text starts with (leading blanks allowed); 0 when it starts with none.
// "inf" and "nan" read as such, so callers that need a finite value must check.
double parseDecimal(std::string_view text);

// value with the given number of decimals.
std::string formatFixed(double value, int decimals);
// A length in millimetres as the unit shows it: "%d", or "%.2f" inches.
std::string formatLength(int millimetres, int unit);
// A typed length back in millimetres: a signed integer, or decimal inches times 25.4.
int parseLength(std::string_view text, int unit);

// A value and the text a dialog showed for it. Text left as shown reads back as the value itself, so that
// confirming a dialog unchanged never moves a setting by the rounding of its display (10 mm shows as
// 0.39 inch, which reads back as 9 mm).
template <typename T> struct ShownValue {
    T value{};
    std::string text;

    bool unchanged(std::string_view typed) const { return typed == text; }
};

// The length a field holds: the value it showed when the text is as shown, else the typed length.
int typedLength(std::string_view typed, const ShownValue<int>& shown, int unit);

// text cut to at most maxBytes bytes without splitting a UTF-8 character.
std::string cutUtf8(std::string_view text, std::size_t maxBytes);

// Says in a message box that the settings file could not be written, naming it.
void reportSettingsNotSaved(const CProfile& file);

// A text setting, or defaultValue when it is missing, cut to maxBytes without splitting a character.
std::string readSettingText(const CProfile& file, const TextKey& key, std::size_t maxBytes);
