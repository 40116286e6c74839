#include "app/QtHooks.h"

#include "platform/Hooks.h"
#include "res/strings/StringIds.h"
#include "res/strings/StringTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <utility>

namespace app {
namespace {

int showMessageBox(const std::string& text, const std::string& caption, unsigned type)
{
    const QString title =
        QString::fromStdString(caption.empty() ? strings::localString(strings::IDS_APP_TITLE) : caption);
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(QString::fromStdString(text));
    switch (type & 0xF0) {
    case platform::MB_ICONSTOP:
        box.setIcon(QMessageBox::Critical);
        break;
    case platform::MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case platform::MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case platform::MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (type & 0x0F) {
    case platform::MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case platform::MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return platform::IDCANCEL;
    case QMessageBox::Yes:
        return platform::IDYES;
    case QMessageBox::No:
        return platform::IDNO;
    default:
        return platform::IDOK;
    }
}

// A name with wildcards is no file name: Enter on the preset "*.PLT" would otherwise write a file of that
// name. Such a name filters the folder's files instead, and the dialog stays open.
bool hasWildcard(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

class SaveFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty() && hasWildcard(QFileInfo(chosen.front()).fileName())) {
            setNameFilter(QFileInfo(chosen.front()).fileName());
            return;
        }
        QFileDialog::accept();
    }
};

std::optional<std::string> askSaveFileName(const platform::SaveFileRequest& request)
{
    QString start = QString::fromStdString(request.initialFolder);
    if (!request.initialName.empty())
        start +=
            (start.isEmpty() ? QString() : QStringLiteral("/")) + QString::fromStdString(request.initialName);
    SaveFileDialog dialog(QApplication::activeWindow(), QString(), start,
                          QString::fromStdString(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    // A dialog of the desktop does not ask accept(); what it returns with wildcards is asked again.
    for (;;) {
        const QStringList chosenFiles =
            dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
        if (chosenFiles.isEmpty())
            return std::nullopt;
        const QString& chosen = chosenFiles.front();
        if (!hasWildcard(QFileInfo(chosen).fileName()))
            return chosen.toStdString();
    }
}

} // namespace

void throttledMessageStep()
{
    static QElapsedTimer sinceLastPass;
    if (sinceLastPass.isValid() && sinceLastPass.elapsed() < MESSAGE_STEP_INTERVAL_MS)
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceLastPass.start();
}

void installQtHooks()
{
    platform::Hooks hooks;
    hooks.messageBox = showMessageBox;
    hooks.messageStep = throttledMessageStep;
    hooks.beginWaitCursor = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
    hooks.endWaitCursor = [] { QApplication::restoreOverrideCursor(); };
    hooks.saveFileName = askSaveFileName;
    platform::installHooks(std::move(hooks));
}

} // namespace app
