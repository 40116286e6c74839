#include "ui/dialogs/PathForm.h"

#include "jobs/CIntake.h"
#include "output/ServerFileKeys.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"
#include "platform/PathMapping.h"
#include "ui/dialogs/DialogValues.h"

#include <filesystem>

namespace {

constexpr std::size_t kFolderMax = 199;

int listPosition(int rule) { return rule >= 0 && rule < PathForm::kRuleCount ? rule : -1; }

} // namespace

void PathForm::open()
{
    CProfile& file = settings_.serverFile;
    // The folders and the rule shown are those in effect: the intake's folders and the clean-up rule the
    // program loaded, defaults included, so that a plain OK changes nothing.
    automaticFolder = CIntake::automaticFolder(file);
    manualFolder = CIntake::manualFolder(file);
    backupFolder = readSettingText(file, BackUpKeys::BackUpPath, kFolderMax);
    loadedReceiveRule_ = readSetting(file, ReceiveKeys::AutoDeleType);
    loadedBackupRule_ = readSetting(file, BackUpKeys::AutoDeleType);
    settings_.server.AutoDeleType = loadedReceiveRule_;
    receiveRule = listPosition(loadedReceiveRule_);
    backupRule = listPosition(loadedBackupRule_);
}

void PathForm::confirm()
{
    CProfile& file = settings_.serverFile;
    bool written =
        writeSetting(file, ReceiveKeys::AReceivePath, cutUtf8(automaticFolder, kFolderMax).c_str());
    written =
        writeSetting(file, ReceiveKeys::MReceivePath, cutUtf8(manualFolder, kFolderMax).c_str()) && written;
    // A rule the list has no entry for (the stored 8, "after 100 days") survives an unchanged list.
    const int receive = listPosition(receiveRule) >= 0 ? receiveRule : loadedReceiveRule_;
    settings_.server.AutoDeleType = receive;
    written = writeSetting(file, ReceiveKeys::AutoDeleType, receive) && written;
    written =
        writeSetting(file, BackUpKeys::BackUpPath, cutUtf8(backupFolder, kFolderMax).c_str()) && written;
    written = writeSetting(file, BackUpKeys::AutoDeleType,
                           listPosition(backupRule) >= 0 ? backupRule : loadedBackupRule_) &&
              written;
    if (!written)
        reportSettingsNotSaved(file);
}

bool PathForm::folderExists(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::error_code error;
    return std::filesystem::is_directory(platform::toFileSystemPath(folder), error);
}
