#include "ui/dialogs/PathForm.h"

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
    automaticFolder = readSettingText(file, ReceiveKeys::AReceivePathShown, kFolderMax);
    manualFolder = readSettingText(file, ReceiveKeys::MReceivePath, kFolderMax);
    backupFolder = readSettingText(file, BackUpKeys::BackUpPath, kFolderMax);
    loadedReceiveRule_ = readSetting(file, ReceiveKeys::AutoDeleTypeShown);
    loadedBackupRule_ = readSetting(file, BackUpKeys::AutoDeleType);
    settings_.server.AutoDeleType = loadedReceiveRule_;
    receiveRule = listPosition(loadedReceiveRule_);
    backupRule = listPosition(loadedBackupRule_);
}

void PathForm::confirm()
{
    CProfile& file = settings_.serverFile;
    writeSetting(file, ReceiveKeys::AReceivePath, cutUtf8(automaticFolder, kFolderMax).c_str());
    writeSetting(file, ReceiveKeys::MReceivePath, cutUtf8(manualFolder, kFolderMax).c_str());
    // A rule the list has no entry for (the stored 8, "after 100 days") survives an unchanged list.
    const int receive = listPosition(receiveRule) >= 0 ? receiveRule : loadedReceiveRule_;
    settings_.server.AutoDeleType = receive;
    writeSetting(file, ReceiveKeys::AutoDeleType, receive);
    writeSetting(file, BackUpKeys::BackUpPath, cutUtf8(backupFolder, kFolderMax).c_str());
    writeSetting(file, BackUpKeys::AutoDeleType,
                 listPosition(backupRule) >= 0 ? backupRule : loadedBackupRule_);
}

bool PathForm::folderExists(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::error_code error;
    return std::filesystem::is_directory(platform::toFileSystemPath(folder), error);
}
