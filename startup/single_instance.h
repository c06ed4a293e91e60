// One running copy per user: a lock file that a crashed copy does not leave
// stuck, and a local socket through which a second start reaches the first.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace qv {

class UserDialogs;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `directory` holds the lock and the socket; empty means the per-user
    // runtime folder (XDG_RUNTIME_DIR on Linux).
    explicit SingleInstance(const QString& directory = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the running copy. A lock left behind by
    // a copy that no longer runs is taken over, and so is a lock file that
    // names no process at all when no copy answers on the socket. When the
    // lock cannot be made at all (an unwritable folder), the program runs
    // rather than refusing.
    bool acquire();
    // Asks the running copy to bring its window forward; false when it
    // could not be reached.
    bool notifyRunning(int timeoutMs = 1000) const;

    QString lockPath() const;
    QString socketPath() const;

signals:
    // Another start asked the running copy to show itself.
    void activationRequested();

private:
    void listen();
    // True when a running copy accepts a connection on the socket.
    bool instanceAnswers(int timeoutMs = 1000) const;

    QString directory_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

// Start-up's single-instance test: true when the program may go on. A second
// copy shows "Application is already running", then wakes the first one.
bool EnsureSingleInstance(SingleInstance& instance, UserDialogs& dialogs);

}  // namespace qv
