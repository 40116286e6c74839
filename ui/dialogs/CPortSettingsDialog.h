#pragma once

#include "ui/dialogs/PortSettingsForm.h"

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class CPortSettingsDialog;
}

// The serial line settings of Port.INI: speed, parity, data bits, stop bits and handshakes.
class CPortSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CPortSettingsDialog(CProfile& portFile, QWidget* parent = nullptr);
    ~CPortSettingsDialog() override;

    // The port the device check asks through; the check is offered for COM and LPT ports only.
    void setPortToCheck(const std::string& name);

private:
    void showSettings();
    void restore();
    void confirm();
    void readControls();
    void checkDevice();

    std::unique_ptr<Ui::CPortSettingsDialog> ui_;
    PortSettingsForm form_;
    CProfile& portFile_;
    std::string portToCheck_;
};
