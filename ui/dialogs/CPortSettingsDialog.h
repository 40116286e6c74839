#pragma once

#include "ui/dialogs/PortSettingsForm.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CPortSettingsDialog;
}

// The serial line settings of Port.INI: speed, parity, data bits, stop bits and handshakes.
class CPortSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CPortSettingsDialog(CProfile& portFile, QWidget* parent = nullptr);
    ~CPortSettingsDialog() override;

private:
    void showSettings();
    void restore();
    void confirm();

    std::unique_ptr<Ui::CPortSettingsDialog> ui_;
    PortSettingsForm form_;
};
