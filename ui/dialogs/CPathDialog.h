#pragma once

#include "platform/DynamicLibrary.h"
#include "ui/dialogs/PathForm.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QLabel;

namespace Ui {
class CPathDialog;
}

// The receive folders and their clean-up. The browse buttons use the folder picker of Tools.so, which
// is loaded while the dialog is open; without it they are disabled and folders are typed.
class CPathDialog : public QDialog {
    Q_OBJECT
public:
    explicit CPathDialog(SettingsContext& settings, QWidget* parent = nullptr);
    ~CPathDialog() override;

    // The signature of PickPath in Tools.so.
    using PickPathFunction = int (*)(void* owner, const char* caption, const char* caption2, char* result,
                                     int size);

private:
    void browse(QLineEdit* edit, int captionId);
    void confirm();

    std::unique_ptr<Ui::CPathDialog> ui_;
    PathForm form_;
    platform::LibraryHandle tools_ = nullptr;
    PickPathFunction pickPath_ = nullptr;
};
