#include "ui/dialogs/ReloadPaperForm.h"

#include "output/ServerSettings.h"
#include "plotdata/CProfile.h"
#include "ui/dialogs/DialogValues.h"

namespace {

// A typed media length in millimetres, before truncation: decimal inches times 25.4, or an integer.
double typedMillimetres(const std::string& text, int unit)
{
    if (unit == kUnitInch)
        return parseDecimal(text) * kMillimetresPerInch;
    return parseInteger(text);
}

} // namespace

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
    widthText = formatMedia(settings_.server.MediaWidth);
    lengthText = formatMedia(settings_.server.REMAINMEDIALENGTH);
}

std::string ReloadPaperForm::formatMedia(int millimetres) const
{
    if (unit == kUnitInch)
        return formatFixed(millimetres * kInchesPerMillimetre, 4);
    return std::to_string(millimetres);
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
    const int width = truncateToInt(typedMillimetres(widthText, unit));
    const int length = truncateToInt(typedMillimetres(lengthText, unit));
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
