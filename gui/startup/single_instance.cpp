#include "gui/startup/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <memory>

#include "gui/common/user_dialogs.h"

// Why flock and not QLockFile: QLockFile judges a lock it finds by the
// process id written inside it, so a start that reads the file before its
// maker has written the id, or a file left by a copy that crashed, has to be
// guessed about, and a wrong guess lets two copies run. An flock is taken in
// one step and dropped by the kernel with the process; the lock file itself
// means nothing and is never removed. Qt has no call that checks a folder's
// owner and mode without following a link, hence lstat.

namespace qv {

namespace {

// A request is one line naming what is asked, for "open" followed by the
// reading's absolute path as the file system spells it.
constexpr char kShowRequest[] = "show\n";
constexpr char kOpenRequest[] = "open\n";
constexpr qsizetype kMaxRequestBytes = 64 * 1024;
// A peer that connects and says nothing is let go after this long.
constexpr int kPeerPatienceMs = 5000;
// How long a second start waits for the running copy to answer: one that
// has just taken the lock on a busy machine may need a while to listen.
constexpr int kHandOverWaitMs = 10000;
// How long it tries to wake the copy after the user has read the message.
constexpr int kWakeUpWaitMs = 1000;

// True when `path` is, or has now been made, a folder that only the user can
// enter: a real folder (not a link), owned by the user, mode 0700.
bool UseOwnFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) return false;
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) return false;
    return true;
}

}  // namespace

SingleInstance::SingleInstance(const QString& directory, QObject* parent)
    : QObject(parent), directory_(directory.isEmpty() ? DefaultDirectory() : directory) {}

SingleInstance::~SingleInstance() {
    // The socket goes first, so that no start finds it without the lock.
    if (server_) server_->close();
    if (lockFd_ >= 0) ::close(lockFd_);
}

QString SingleInstance::DefaultDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) return QDir(runtime).filePath(QStringLiteral("quorvane"));
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) cache = QDir::home().filePath(QStringLiteral(".cache"));
    // A home folder may be shared by several machines; each has its own copy.
    return QDir(cache).filePath(QStringLiteral("quorvane-") + QSysInfo::machineHostName());
}

QString SingleInstance::lockPath() const { return QDir(directory_).filePath(QStringLiteral("quorvane.lock")); }

QString SingleInstance::socketPath() const { return QDir(directory_).filePath(QStringLiteral("quorvane.socket")); }

bool SingleInstance::listening() const { return server_ && server_->isListening(); }

bool SingleInstance::acquire() {
    if (lockFd_ >= 0) return true;
    QDir().mkpath(QFileInfo(directory_).path());
    if (!UseOwnFolder(directory_)) return true;  // no safe place for a lock: run unguarded
    const QByteArray lock = QFile::encodeName(lockPath());
    const int fd = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;  // a lock another copy holds refuses the start; any other failure runs unguarded
    }
    lockFd_ = fd;
    listen();
    return true;
}

void SingleInstance::listen() {
    // Holding the lock, a socket found at the path is a leftover of a copy
    // that ended; anything else there is not the program's and stays.
    const QByteArray path = QFile::encodeName(socketPath());
    struct stat info {};
    if (::lstat(path.constData(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) return;
        ::unlink(path.constData());
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            auto request = std::make_shared<QByteArray>();
            connect(peer, &QLocalSocket::readyRead, this, [peer, request] {
                *request += peer->readAll();
                if (request->size() > kMaxRequestBytes) peer->abort();
            });
            connect(peer, &QLocalSocket::disconnected, this, [this, peer, request] {
                if (peer->isOpen()) *request += peer->readAll();
                peer->deleteLater();
                handleRequest(*request);
            });
            QTimer::singleShot(kPeerPatienceMs, peer, [peer] { peer->abort(); });
        }
    });
    if (!server_->listen(socketPath())) {
        delete server_;
        server_ = nullptr;
    }
}

void SingleInstance::handleRequest(const QByteArray& request) {
    if (request.size() > kMaxRequestBytes) return;
    if (request.startsWith("show")) {
        emit activationRequested();
        return;
    }
    if (!request.startsWith(kOpenRequest)) return;
    const QByteArray path = request.mid(qsizetype(sizeof kOpenRequest) - 1);
    if (path.isEmpty() || path.contains('\0')) return;
    const QString file = QFile::decodeName(path);
    if (QDir::isAbsolutePath(file)) emit openRequested(file);
}

bool SingleInstance::notifyRunning(int timeoutMs, const QString& file) const {
    const QByteArray request = file.isEmpty()
                                   ? QByteArray(kShowRequest)
                                   : QByteArray(kOpenRequest) + QFile::encodeName(QFileInfo(file).absoluteFilePath());
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        const int left = std::max(1, timeoutMs - int(clock.elapsed()));
        if (socket.waitForConnected(left)) {
            socket.write(request);
            while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(std::max(1, timeoutMs))) {}
            const bool sent = socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
            return sent;
        }
        if (clock.elapsed() >= timeoutMs) return false;
        QThread::msleep(50);  // the running copy may not listen yet
    }
}

bool EnsureSingleInstance(SingleInstance& instance, UserDialogs& dialogs, const QString& file) {
    if (instance.acquire()) return true;
    if (!file.isEmpty() && instance.notifyRunning(kHandOverWaitMs, file)) return false;
    dialogs.message(nullptr, QStringLiteral("Application is already running"), MessageIcon::Information);
    instance.notifyRunning(kWakeUpWaitMs);
    return false;
}

}  // namespace qv
