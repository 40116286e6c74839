#pragma once

#include "ui/dialogs/OutputSettingsForm.h"

#include <QDialog>

#include <memory>

namespace Ui {
class COutputSettingsDialog;
}

// The output device and port, the layout of output runs and the pens of the device. The port settings
// and half-cut dialogs open from here.
class COutputSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit COutputSettingsDialog(SettingsContext& settings, QWidget* parent = nullptr);
    ~COutputSettingsDialog() override;

    // The columns of the pen list.
    enum PenColumn { PenNumber, PenDashed, PenOffset };

private:
    void showPens();
    void selectDevice(int index);
    void penClicked(int row, int column);
    void openPortSettings();
    void openHalfCut();
    void confirm();
    QString fieldName(OutputSettingsForm::Field field) const;

    std::unique_ptr<Ui::COutputSettingsDialog> ui_;
    SettingsContext& settings_;
    OutputSettingsForm form_;
};
