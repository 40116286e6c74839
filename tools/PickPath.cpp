#include <QFileDialog>
#include <QString>
#include <QWidget>

#include <cstring>

// The folder picker the path dialog loads at run time. owner is the dialog's window (a QWidget); the two
// captions make the picker's title. result holds the folder to start in, when it names one, and receives
// the chosen folder as UTF-8. The result is 1 when a folder was chosen and fits the buffer with its
// terminator, else 0 with the buffer unchanged.
extern "C" __attribute__((visibility("default"))) int PickPath(void* owner, const char* caption,
                                                               const char* caption2, char* result, int size)
{
    if (result == nullptr || size <= 0)
        return 0;
    const QString title = QString::fromUtf8(caption != nullptr ? caption : "") + QStringLiteral(" - ") +
                          QString::fromUtf8(caption2 != nullptr ? caption2 : "");
    const QString start = QString::fromUtf8(result, static_cast<qsizetype>(strnlen(result, size)));
    const QString folder = QFileDialog::getExistingDirectory(static_cast<QWidget*>(owner), title, start,
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return 0;
    const QByteArray bytes = folder.toUtf8();
    if (bytes.size() >= size)
        return 0;
    std::memcpy(result, bytes.constData(), static_cast<std::size_t>(bytes.size()) + 1);
    return 1;
}
