#pragma once

#include "ui/dialogs/ReloadPaperForm.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CReloadPaperDialog;
}

// A new roll of media: its width, the length on it, and the unit lengths are shown in.
class CReloadPaperDialog : public QDialog {
    Q_OBJECT
public:
    explicit CReloadPaperDialog(SettingsContext& settings, QWidget* parent = nullptr);
    ~CReloadPaperDialog() override;

    // Cancel and Escape: the unit goes back to what it was.
    void reject() override;

private:
    void setUnit(int unit);
    void showValues();
    void confirm();

    std::unique_ptr<Ui::CReloadPaperDialog> ui_;
    ReloadPaperForm form_;
};
