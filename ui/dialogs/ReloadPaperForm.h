#pragma once

#include "ui/dialogs/DialogValues.h"
#include "ui/dialogs/SettingsContext.h"

#include <string>

// The values of the reload-paper dialog: the media width and the length left on the roll, shown in the
// display unit that the dialog's radio buttons switch.
class ReloadPaperForm {
public:
    explicit ReloadPaperForm(SettingsContext& settings) : settings_(settings) {}

    // Shows the media settings in the current unit.
    void open();
    // A radio button was clicked: the unit changes in memory at once, for the whole program, until the
    // dialog is cancelled. The fields show the stored values again in the new unit, and so does the status
    // pane.
    void setUnit(int unit);
    // A roll type of the list (36, 63 or 72 inches) was chosen: the width field shows its width.
    void chooseRollType(int index);
    // Reads both fields. When either is not above 0 the result is false and nothing changes; otherwise
    // the media settings and the unit are set, written to Server.INI and shown in the status pane. A file
    // that cannot be written is reported; the values stay in effect until the program ends.
    bool confirm();
    // The dialog was cancelled: the unit goes back to what it was when the dialog opened.
    void cancel();

    // The status pane's text for the remaining length in the current unit.
    std::string remainingText() const;

    int unit = 0;
    std::string widthText;
    std::string lengthText;

private:
    void show();
    ShownValue<int> showMedia(int millimetres) const;

    void showPane() const;

    SettingsContext& settings_;
    int openedUnit_ = 0;
    ShownValue<int> shownWidth_;
    ShownValue<int> shownLength_;
};
