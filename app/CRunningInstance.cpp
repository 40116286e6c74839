#include "app/CRunningInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

constexpr int KNOCK_TIMEOUT_MS = 1000;

// One name per settings folder, whatever way the folder is spelt.
QString socketName(const std::string& settingsFolder)
{
    const QString folder = QDir(QString::fromStdString(settingsFolder)).canonicalPath();
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("marquill-") + QString::fromLatin1(hash.left(16));
}

} // namespace

CRunningInstance::CRunningInstance(QObject* parent) : QObject(parent), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            socket->disconnectFromServer();
            if (raise_)
                raise_();
        }
    });
}

CRunningInstance::~CRunningInstance() = default;

bool CRunningInstance::listen(const std::string& settingsFolder, std::function<void()> raise)
{
    raise_ = std::move(raise);
    const QString name = socketName(settingsFolder);
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

bool CRunningInstance::knock(const std::string& settingsFolder)
{
    QLocalSocket socket;
    socket.connectToServer(socketName(settingsFolder));
    if (!socket.waitForConnected(KNOCK_TIMEOUT_MS))
        return false;
    socket.disconnectFromServer();
    return true;
}
