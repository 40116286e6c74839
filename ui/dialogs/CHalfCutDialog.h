#pragma once

#include "ui/dialogs/HalfCutForm.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CHalfCutDialog;
}

// The lengths of the cut stretches and gaps of a half cut. Opened from the output settings dialog.
class CHalfCutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CHalfCutDialog(SettingsContext& settings, QWidget* parent = nullptr);
    ~CHalfCutDialog() override;

private:
    void confirm();

    std::unique_ptr<Ui::CHalfCutDialog> ui_;
    HalfCutForm form_;
};
