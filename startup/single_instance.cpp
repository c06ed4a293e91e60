#include "startup/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include "ui/user_dialogs.h"

namespace qv {

namespace {

constexpr char kWakeUp[] = "show\n";

QString DefaultDirectory() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

}  // namespace

SingleInstance::SingleInstance(const QString& directory, QObject* parent)
    : QObject(parent), directory_(directory.isEmpty() ? DefaultDirectory() : directory) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lock_) lock_->unlock();
}

QString SingleInstance::lockPath() const { return QDir(directory_).filePath(QStringLiteral("quorvane.lock")); }

QString SingleInstance::socketPath() const { return QDir(directory_).filePath(QStringLiteral("quorvane.socket")); }

bool SingleInstance::acquire() {
    if (lock_ && lock_->isLocked()) return true;
    QDir().mkpath(directory_);
    lock_ = std::make_unique<QLockFile>(lockPath());
    // A running copy holds the lock however long it runs; only a lock whose
    // process is gone counts as stale (QLockFile checks the process id).
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        listen();
        return true;
    }
    // No lock could be made (permissions, a full disk): run unguarded.
    if (lock_->error() != QLockFile::LockFailedError) return true;
    // A lock file that names no process (empty or garbage) tells nothing of
    // its maker; when no copy answers on the socket it is left over and is
    // taken over. A copy that holds the lock keeps the file from removal.
    qint64 pid = 0;
    QString host, app;
    if (lock_->getLockInfo(&pid, &host, &app) || instanceAnswers()) return false;
    if (!lock_->removeStaleLockFile() || !lock_->tryLock(0)) return false;
    listen();
    return true;
}

bool SingleInstance::instanceAnswers(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    const bool answered = socket.waitForConnected(timeoutMs);
    socket.abort();
    return answered;
}

void SingleInstance::listen() {
    // A socket file left by a copy that crashed would block the listen.
    QLocalServer::removeServer(socketPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().startsWith("show")) emit activationRequested();
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
    server_->listen(socketPath());
}

bool SingleInstance::notifyRunning(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kWakeUp);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}

bool EnsureSingleInstance(SingleInstance& instance, UserDialogs& dialogs) {
    if (instance.acquire()) return true;
    dialogs.message(nullptr, QStringLiteral("Application is already running"), MessageIcon::Information);
    instance.notifyRunning();
    return false;
}

}  // namespace qv
