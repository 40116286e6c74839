#include "ui/dialogs/CPathDialog.h"

#include "platform/PathMapping.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"
#include "ui/dialogs/DialogValues.h"
#include "ui_CPathDialog.h"

#include <cstring>

namespace {

constexpr std::size_t kCaptionMax = 19;
constexpr int kPickedPathSize = 300;

// Shows the warning under a folder field while the folder it names does not exist. The folder is kept
// as typed all the same: the intake looks for it again on every scan.
void showFolderWarning(QLabel* warning, const QString& folder)
{
    warning->setVisible(!PathForm::folderExists(folder.toStdString()));
}

} // namespace

CPathDialog::CPathDialog(SettingsContext& settings, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CPathDialog>()), form_(settings)
{
    ui_->setupUi(this);
    form_.open();
    ui_->automaticEdit->setText(QString::fromStdString(form_.automaticFolder));
    ui_->manualEdit->setText(QString::fromStdString(form_.manualFolder));
    ui_->backupEdit->setText(QString::fromStdString(form_.backupFolder));
    ui_->receiveRuleList->setCurrentIndex(form_.receiveRule);
    ui_->backupRuleList->setCurrentIndex(form_.backupRule);
    showFolderWarning(ui_->automaticWarning, ui_->automaticEdit->text());
    showFolderWarning(ui_->manualWarning, ui_->manualEdit->text());
    connect(ui_->automaticEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { showFolderWarning(ui_->automaticWarning, text); });
    connect(ui_->manualEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { showFolderWarning(ui_->manualWarning, text); });

    tools_ = platform::loadLibrary("Tools.dll");
    if (tools_ != nullptr)
        pickPath_ = reinterpret_cast<PickPathFunction>(platform::findSymbol(tools_, "PickPath"));
    ui_->automaticBrowseButton->setEnabled(pickPath_ != nullptr);
    ui_->manualBrowseButton->setEnabled(pickPath_ != nullptr);
    connect(ui_->automaticBrowseButton, &QPushButton::clicked, this,
            [this] { browse(ui_->automaticEdit, strings::IDS_COLUMN_AUTOMATIC); });
    connect(ui_->manualBrowseButton, &QPushButton::clicked, this,
            [this] { browse(ui_->manualEdit, strings::IDS_COLUMN_MANUAL); });
    connect(ui_->okButton, &QPushButton::clicked, this, &CPathDialog::confirm);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CPathDialog::~CPathDialog()
{
    if (tools_ != nullptr)
        platform::freeLibrary(tools_);
}

void CPathDialog::browse(QLineEdit* edit, int captionId)
{
    if (pickPath_ == nullptr)
        return;
    const std::string caption = cutUtf8(strings::localString(captionId), kCaptionMax);
    const std::string caption2 = cutUtf8(strings::localString(strings::IDS_COLUMN_PATH), kCaptionMax);
    // The picker starts in the folder the field names, when that fits.
    char result[kPickedPathSize] = {};
    const std::string start = platform::toFileSystemPath(edit->text().toStdString());
    if (start.size() < sizeof result)
        std::memcpy(result, start.data(), start.size());
    if (pickPath_(this, caption.c_str(), caption2.c_str(), result, kPickedPathSize) == 0)
        return;
    // A folder inside a drive folder is kept in the Windows form the settings use for it, so that the
    // jobs already listed from it keep their paths.
    const std::string picked(result, strnlen(result, sizeof result));
    edit->setText(QString::fromStdString(platform::toStoredPath(picked)));
}

void CPathDialog::confirm()
{
    form_.automaticFolder = ui_->automaticEdit->text().toStdString();
    form_.manualFolder = ui_->manualEdit->text().toStdString();
    form_.backupFolder = ui_->backupEdit->text().toStdString();
    form_.receiveRule = ui_->receiveRuleList->currentIndex();
    form_.backupRule = ui_->backupRuleList->currentIndex();
    form_.confirm();
    accept();
}
