#include "ui/dialogs/ReloadPaperForm.h"

#include "output/ServerFileKeys.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "ui/dialogs/DialogValues.h"

#include <iterator>

namespace {

// The widths of the roll types of the list, in inches; the last entry, "custom", has none.
constexpr double kRollInches[] = {36, 63, 72};

} // namespace

void ReloadPaperForm::open()
{
    openedUnit_ = settings_.server.unit;
    unit = settings_.server.unit == kUnitInch ? kUnitInch : kUnitMillimetre;
    show();
}

void ReloadPaperForm::setUnit(int newUnit)
{
    unit = newUnit == kUnitInch ? kUnitInch : kUnitMillimetre;
    settings_.server.unit = unit;
    show();
    showPane();
}

void ReloadPaperForm::chooseRollType(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kRollInches)))
        return;
    const double inches = kRollInches[index];
    widthText = unit == kUnitInch ? formatFixed(inches, 4)
                                  : std::to_string(static_cast<int>(inches * kMillimetresPerInch));
}

void ReloadPaperForm::cancel()
{
    if (settings_.server.unit == openedUnit_)
        return;
    settings_.server.unit = openedUnit_;
    unit = openedUnit_ == kUnitInch ? kUnitInch : kUnitMillimetre;
    showPane();
}

void ReloadPaperForm::showPane() const
{
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

std::string ReloadPaperForm::remainingText() const
{
    return "Remain Length:" + showMedia(settings_.server.REMAINMEDIALENGTH).text +
           (unit == kUnitInch ? " Inch" : " mm");
}

bool ReloadPaperForm::confirm()
{
    // Both values are checked before either is taken, so a refused length leaves the width as it was.
    // The check is on the whole millimetres stored: 0.01 inch would otherwise become a width of 0.
    const int width = typedLength(widthText, shownWidth_, unit);
    const int length = typedLength(lengthText, shownLength_, unit);
    if (width <= 0 || length <= 0)
        return false;

    ServerSettings& server = settings_.server;
    server.unit = unit;
    server.MediaWidth = width;
    server.REMAINMEDIALENGTH = length;
    showPane();
    CProfile& file = settings_.serverFile;
    bool written = writeSetting(file, SystemKeys::MediaWidth, server.MediaWidth);
    written = writeSetting(file, SystemKeys::REMAINMEDIALENGTH, server.REMAINMEDIALENGTH) && written;
    written = writeSetting(file, SystemKeys::unit, server.unit) && written;
    if (!written)
        reportSettingsNotSaved(file);
    if (settings_.redrawAutomaticList)
        settings_.redrawAutomaticList();
    return true;
}
