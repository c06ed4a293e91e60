// One running copy per user: a lock that the kernel holds for the running
// copy, and a local socket through which a second start reaches the first,
// both in a folder that belongs to the user alone.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace qv {

class UserDialogs;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `directory` holds the lock and the socket; empty means the user's own
    // folder of DefaultDirectory(). Either is made 0700 if missing, and used
    // only while it is a folder (not a link) that the user owns and that no
    // one else may enter.
    explicit SingleInstance(const QString& directory = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The per-user folder: "quorvane" in XDG_RUNTIME_DIR, or, without one,
    // "quorvane-<host>" in the user's cache folder (never a folder that
    // other users share, such as /tmp).
    static QString DefaultDirectory();

    // True when this process is now the running copy. The lock is an flock
    // on the lock file, taken atomically and released by the kernel when
    // the process ends, however it ends: a held lock always belongs to a
    // copy that still runs, and a lock file left behind locks no one out.
    // When no safe lock can be made (the folder is not the user's own, or
    // cannot be written), the program runs rather than being blocked.
    bool acquire();

    // Asks the running copy to bring its window forward, or, with `file`, to
    // open that reading and come forward. A copy that has just taken the
    // lock may not listen yet, so this keeps trying for `timeoutMs`. False
    // when no copy answered.
    bool notifyRunning(int timeoutMs = 1000, const QString& file = {}) const;

    QString directory() const { return directory_; }
    QString lockPath() const;
    QString socketPath() const;
    // Whether this process holds the lock, and whether it listens.
    bool holdsLock() const { return lockFd_ >= 0; }
    bool listening() const;

signals:
    // Another start asked the running copy to show itself.
    void activationRequested();
    // Another start was given this reading (an absolute path) to open.
    void openRequested(const QString& file);

private:
    void listen();
    void handleRequest(const QByteArray& request);

    QString directory_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

// Start-up's single-instance test: true when the program may go on. A second
// start without a file shows "Application is already running", then wakes
// the first copy; with a file it hands the file to the first copy and ends
// without a message (the message is shown only when no copy answers).
bool EnsureSingleInstance(SingleInstance& instance, UserDialogs& dialogs, const QString& file = {});

}  // namespace qv
