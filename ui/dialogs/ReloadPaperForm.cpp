#include "ui/dialogs/ReloadPaperForm.h"

#include "output/ServerSettings.h"
#include "plotdata/CProfile.h"
#include "ui/dialogs/DialogValues.h"

void ReloadPaperForm::open()
{
    unit = settings_.server.unit == kUnitInch ? kUnitInch : kUnitMillimetre;
    show();
}

void ReloadPaperForm::setUnit(int newUnit)
{
    unit = newUnit == kUnitInch ? kUnitInch : kUnitMillimetre;
    settings_.server.unit = unit;
    show();
    if (settings_.showRemainingMedia)
        settings_.showRemainingMedia(remainingText());
}

void ReloadPaperForm::show()
{
    shownWidth_ = showMedia(settings_.server.MediaWidth);
    shownLength_ = showMedia(settings_.server.REMAINMEDIALENGTH);
    widthText = shownWidth_.text;
    lengthText = shownLength_.text;
}

ShownValue<int> ReloadPaperForm::showMedia(int millimetres) const
{
    if (unit == kUnitInch)
        return {millimetres, formatFixed(millimetres * kInchesPerMillimetre, 4)};
    return {millimetres, std::to_string(millimetres)};
}

// Typed media in whole millimetres: decimal inches times 25.4 truncated, or a signed integer.
int ReloadPaperForm::typedMedia(const std::string& typed, const ShownValue<int>& shown) const
{
    if (shown.unchanged(typed))
        return shown.value;
    if (unit == kUnitInch)
        return truncateToInt(parseDecimal(typed) * kMillimetresPerInch);
    return parseInteger(typed);
}

std::string ReloadPaperForm::remainingText() const
{
    const int remaining = settings_.server.REMAINMEDIALENGTH;
    if (unit == kUnitInch)
        return "Remain Length:" + formatFixed(remaining * kInchesPerMillimetre, 4) + " Inch";
    return "Remain Length:" + std::to_string(remaining) + " mm";
}

bool ReloadPaperForm::confirm()
{
    // Both values are checked before either is taken, so a refused length leaves the width as it was.
    // The check is on the whole millimetres stored: 0.01 inch would otherwise become a width of 0.
    const int width = typedMedia(widthText, shownWidth_);
    const int length = typedMedia(lengthText, shownLength_);
    if (width <= 0 || length <= 0)
        return false;

    ServerSettings& server = settings_.server;
    server.unit = unit;
    server.MediaWidth = width;
    server.REMAINMEDIALENGTH = length;
    if (settings_.showRemainingMedia)
        settings_.showRemainingMedia(remainingText());
    settings_.serverFile.setInt("SYSTEM", "MediaWidth", server.MediaWidth);
    settings_.serverFile.setInt("SYSTEM", "REMAINMEDIALENGTH", server.REMAINMEDIALENGTH);
    settings_.serverFile.setInt("SYSTEM", "unit", server.unit);
    if (settings_.redrawAutomaticList)
        settings_.redrawAutomaticList();
    return true;
}
