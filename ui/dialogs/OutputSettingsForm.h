#pragma once

#include "ui/dialogs/DialogValues.h"
#include "ui/dialogs/SettingsContext.h"

#include <optional>
#include <string>
#include <vector>

// The values of the output settings dialog and what its controls do, without the widgets. The dialog
// shows these fields and hands every click and confirmation to the form.
class OutputSettingsForm {
public:
    // The fields whose value can be refused on confirmation.
    enum class Field { Section, OverLap, PageGap, PenOffset, RatioX, RatioY };

    struct PenRow {
        bool dashed = false;
        ShownValue<float> offset; // as loaded, shown "%1.2f" when above 0, else "-"
        std::string offsetText;   // as typed
    };

    explicit OutputSettingsForm(SettingsContext& settings) : settings_(settings) {}

    // Fills every field from the files and loads the stored device into the engine.
    void open();
    // Another device was chosen: it is loaded into the engine at once (and stays loaded when the dialog
    // is left with Exit), and its pens and ratios are shown.
    void selectDevice(int index);
    // Ticking mirror ticks correct-origin too; clearing it leaves correct-origin as it is.
    void setMirror(bool on);
    void toggleDashed(int row);

    // Checks what was typed and, when it is all acceptable, writes every setting and sets it in memory.
    // Otherwise nothing is written or changed, and the result names the first field refused.
    std::optional<Field> confirm();

    // Whether the device list, its label and the port-settings button are offered in this edition.
    bool deviceChoiceShown() const;

    std::vector<std::string> devices;
    int deviceIndex = -1;
    std::vector<std::string> ports;
    int portIndex = -1;
    std::string sectionText;
    std::string overlapText;
    std::string pageGapText;
    std::string plotterOffsetText;
    std::string ratioXText;
    std::string ratioYText;
    bool autoRotate = false;
    bool pageOut = false;
    bool mirror = false;
    bool sortPlot = false;
    bool adjustOrigin = false;
    bool dashPlot = false;
    bool sendFeed = false;
    bool lineMark = false;
    // The stored dashed-pen list, shown in a hidden field and never read back.
    std::string storedDashedPens;
    std::vector<PenRow> pens;
    // The selected device's handshake: 0 the line's flow control only, 1 the buffer query.
    int handshake = 0;

private:
    void fillPens();
    std::string deviceName() const;
    std::string showLength(ShownValue<int>& shown, int millimetres);

    SettingsContext& settings_;
    ShownValue<int> shownSection_;
    ShownValue<int> shownOverlap_;
    ShownValue<int> shownPageGap_;
    ShownValue<int> shownPlotterOffset_;
    ShownValue<float> shownRatioX_;
    ShownValue<float> shownRatioY_;
    int shownHandshake_ = 0;
};
