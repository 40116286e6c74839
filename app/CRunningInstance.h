#pragma once

#include <QObject>

#include <functional>
#include <string>

class QLocalServer;

// The window that holds a settings folder answers a second start on the same folder by coming to the
// front: it listens on a local socket named after the folder, and the second start knocks on it.
class CRunningInstance : public QObject {
    Q_OBJECT
public:
    explicit CRunningInstance(QObject* parent = nullptr);
    ~CRunningInstance() override;

    // Listens for knocks on the folder, calling raise for each. Only the holder of the folder's lock
    // listens, so a socket left behind by a crashed window is taken over.
    bool listen(const std::string& settingsFolder, std::function<void()> raise);
    // Asks the window holding the folder to come to the front. False when no window listens (the folder
    // is held by marquill-plot or marquill-server, or by a window that cannot be reached).
    static bool knock(const std::string& settingsFolder);

private:
    QLocalServer* server_;
    std::function<void()> raise_;
};
