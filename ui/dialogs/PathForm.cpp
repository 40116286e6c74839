#include "ui/dialogs/PathForm.h"

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
    automaticFolder = readSettingText(file, "Receive", "AReceivePath", "C:\\Receive1", kFolderMax);
    manualFolder = readSettingText(file, "Receive", "MReceivePath", "C:\\Receive2", kFolderMax);
    backupFolder = readSettingText(file, "BackUp", "BackUpPath", "C:\\BackUp", kFolderMax);
    loadedReceiveRule_ = file.getInt("Receive", "AutoDeleType", 0);
    loadedBackupRule_ = file.getInt("BackUp", "AutoDeleType", 0);
    settings_.server.AutoDeleType = loadedReceiveRule_;
    receiveRule = listPosition(loadedReceiveRule_);
    backupRule = listPosition(loadedBackupRule_);
}

void PathForm::confirm()
{
    CProfile& file = settings_.serverFile;
    file.setString("Receive", "AReceivePath", cutUtf8(automaticFolder, kFolderMax).c_str());
    file.setString("Receive", "MReceivePath", cutUtf8(manualFolder, kFolderMax).c_str());
    // A rule the list has no entry for (the stored 8, "after 100 days") survives an unchanged list.
    const int receive = listPosition(receiveRule) >= 0 ? receiveRule : loadedReceiveRule_;
    settings_.server.AutoDeleType = receive;
    file.setInt("Receive", "AutoDeleType", receive);
    file.setString("BackUp", "BackUpPath", cutUtf8(backupFolder, kFolderMax).c_str());
    file.setInt("BackUp", "AutoDeleType", listPosition(backupRule) >= 0 ? backupRule : loadedBackupRule_);
}

bool PathForm::folderExists(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::error_code error;
    return std::filesystem::is_directory(platform::toFileSystemPath(folder), error);
}
