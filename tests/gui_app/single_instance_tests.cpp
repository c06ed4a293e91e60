// One running copy per user: a second start is refused and wakes the first,
// or hands it a reading; the lock lives in a folder of the user's own, is
// taken atomically, and nothing left behind by a copy that ended locks the
// program out.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "chart/chart_run.h"
#include "formats/reading_file.h"
#include "gui/common/user_dialogs.h"
#include "gui/startup/single_instance.h"
#include "tests/support/births.h"
#include "tests/support/scripted_dialogs.h"

namespace qv::test {
namespace {

int ModeOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return int(info.st_mode & 07777);
}

// A socket file as a copy that was killed leaves it: bound, never unlinked.
void LeaveSocketFile(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    ASSERT_LT(std::size_t(native.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(SingleInstance, SecondStartIsRefusedAndWakesTheFirst) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SingleInstance first(dir.path());
    ScriptedDialogs dialogs;
    ASSERT_TRUE(EnsureSingleInstance(first, dialogs));
    EXPECT_TRUE(dialogs.calls.empty());
    QSignalSpy woken(&first, &SingleInstance::activationRequested);

    SingleInstance second(dir.path());
    EXPECT_FALSE(EnsureSingleInstance(second, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0], QStringLiteral("Application is already running"));
    EXPECT_EQ(dialogs.calls[0].icon, MessageIcon::Information);
    EXPECT_TRUE(woken.wait(3000));
}

TEST(SingleInstance, LocksOfOtherFoldersDoNotInterfere) {
    QTemporaryDir a, b;
    SingleInstance one(a.path()), two(b.path());
    EXPECT_TRUE(one.acquire());
    EXPECT_TRUE(two.acquire());
    EXPECT_TRUE(one.acquire());  // asking again keeps the lock
    EXPECT_TRUE(one.holdsLock() && two.holdsLock());
}

TEST(SingleInstance, ReleasedLockCanBeTakenAgain) {
    QTemporaryDir dir;
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.acquire());
    }
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.acquire());
    EXPECT_TRUE(next.holdsLock());
}

// A lock file's contents mean nothing: only a copy holding the lock locks
// others out. Whatever a copy that ended left (any lock file, its socket
// file) is taken over, and the next copy is refused and reaches this one.
TEST(SingleInstance, LeftoversOfACopyThatEndedAreTakenOver) {
    const QByteArray contents[] = {"",
                                   "\n",
                                   "garbage\n",
                                   "0\nquorvane\nhost\n",
                                   "-42\n",
                                   QByteArray("\xff\xfe\x00\x01", 4),
                                   QByteArray(100000, 'x'),
                                   QByteArray::number(QCoreApplication::applicationPid()) + "\nquorvane\n"};
    for (const QByteArray& content : contents) {
        for (const bool socketLeft : {false, true}) {
            QTemporaryDir dir;
            SingleInstance next(dir.path());
            QFile lock(next.lockPath());
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
            lock.write(content);
            lock.close();
            if (socketLeft) LeaveSocketFile(next.socketPath());

            const std::string what = content.left(20).toStdString() + (socketLeft ? " with socket" : "");
            ASSERT_TRUE(next.acquire()) << what;
            EXPECT_TRUE(next.holdsLock()) << what;
            EXPECT_TRUE(next.listening()) << what;
            QSignalSpy woken(&next, &SingleInstance::activationRequested);
            SingleInstance later(dir.path());
            EXPECT_FALSE(later.acquire()) << what;
            EXPECT_TRUE(later.notifyRunning(2000)) << what;
            EXPECT_TRUE(woken.wait(3000)) << what;
        }
    }
}

// A copy holding the lock refuses a start even while it does not answer
// (still starting, or stopped); asking it then fails after the wait.
TEST(SingleInstance, AHeldLockRefusesEvenWithoutAnAnswer) {
    QTemporaryDir dir;
    auto holder = std::make_unique<SingleInstance>(dir.path());
    ASSERT_TRUE(holder->acquire());
    QFile::remove(holder->socketPath());  // it no longer listens where starts look
    SingleInstance next(dir.path());
    EXPECT_FALSE(next.acquire());
    EXPECT_FALSE(next.notifyRunning(300));
    holder.reset();  // the copy ends: the lock is free at once
    EXPECT_TRUE(next.acquire());
}

// Something at the socket path that is not a socket is not the program's:
// it stays as it was, and the copy runs without a socket.
TEST(SingleInstance, ARegularFileAtTheSocketPathIsNotDeleted) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    QFile other(first.socketPath());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("someone's notes\n");
    other.close();
    ASSERT_TRUE(first.acquire());
    EXPECT_TRUE(first.holdsLock());
    EXPECT_FALSE(first.listening());
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("someone's notes\n"));
}

// The folder of the lock and socket: made 0700, and used only while it is
// a folder of the user's own that no one else can enter. Otherwise the
// program runs unguarded rather than letting someone else block it.
TEST(SingleInstance, TheFolderIsTheUsersOwn) {
    struct Case {
        const char* what;
        std::function<void(const QString& folder, const QString& elsewhere)> prepare;
        bool locks;
        int modeAfter;  // -1: no such path
    };
    const Case cases[] = {
        {"missing", [](const QString&, const QString&) {}, true, 0700},
        {"open to others", [](const QString& f, const QString&) { ::mkdir(QFile::encodeName(f).constData(), 0777); },
         true, 0700},
        {"readable by the group",
         [](const QString& f, const QString&) { ::mkdir(QFile::encodeName(f).constData(), 0750); }, true, 0700},
        {"a link to a folder",
         [](const QString& f, const QString& e) {
             QDir().mkpath(e);
             QFile::link(e, f);
         },
         false, 0777},
        {"a regular file",
         [](const QString& f, const QString&) {
             QFile file(f);
             file.open(QIODevice::WriteOnly);
         },
         false, 0644},
    };
    for (const Case& c : cases) {
        QTemporaryDir base;
        const QString folder = base.filePath(QStringLiteral("quorvane"));
        const QString elsewhere = base.filePath(QStringLiteral("elsewhere"));
        const mode_t umask = ::umask(022);
        c.prepare(folder, elsewhere);
        ::umask(umask);
        SingleInstance instance(folder);
        EXPECT_TRUE(instance.acquire()) << c.what;  // the program always starts
        EXPECT_EQ(instance.holdsLock(), c.locks) << c.what;
        EXPECT_EQ(ModeOf(folder), c.modeAfter) << c.what;
        EXPECT_FALSE(QFileInfo::exists(QDir(elsewhere).filePath(QStringLiteral("quorvane.lock")))) << c.what;
        if (c.locks) {
            EXPECT_EQ(ModeOf(instance.lockPath()) & 077, 0) << c.what;
            EXPECT_EQ(ModeOf(instance.socketPath()) & 077, 0) << c.what;
        }
    }
    // A folder of another user (only root can make one here) is not used
    // and not changed.
    if (::geteuid() == 0) {
        QTemporaryDir base;
        const QString folder = base.filePath(QStringLiteral("quorvane"));
        ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0700), 0);
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        SingleInstance instance(folder);
        EXPECT_TRUE(instance.acquire());
        EXPECT_FALSE(instance.holdsLock());
        EXPECT_TRUE(QDir(folder).isEmpty());
    }
}

TEST(SingleInstance, TheDefaultFolderIsPerUserAndNeverShared) {
    QTemporaryDir runtime, cache;
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        EXPECT_EQ(SingleInstance::DefaultDirectory(), runtime.filePath(QStringLiteral("quorvane")));
    }
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", QByteArray());
    ScopedEnv cacheHome("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const QString folder = SingleInstance::DefaultDirectory();
    EXPECT_EQ(QFileInfo(folder).path(), cache.path());
    EXPECT_TRUE(QFileInfo(folder).fileName().startsWith(QStringLiteral("quorvane-")));
    SingleInstance instance;
    ASSERT_TRUE(instance.acquire());
    EXPECT_TRUE(instance.holdsLock());
    EXPECT_EQ(ModeOf(folder), 0700);
}

// Writes Asha's reading into `dir` and returns its path.
QString WriteReading(const QTemporaryDir& dir, const QString& name) {
    ChartState state;
    ChartWheel wheel;
    EXPECT_EQ(CalculateChartOf(Asha(), state, wheel), std::nullopt);
    const QString file = dir.filePath(name);
    EXPECT_EQ(WriteReadingFile(LocalFilePath(file), state), std::nullopt);
    return file;
}

// A second start given a reading hands it over without a message; the
// running copy gets the absolute path.
TEST(SingleInstance, ASecondStartHandsItsReadingToTheFirst) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ScriptedDialogs dialogs;
    ASSERT_TRUE(EnsureSingleInstance(first, dialogs));
    QSignalSpy opened(&first, &SingleInstance::openRequested);
    QSignalSpy woken(&first, &SingleInstance::activationRequested);

    const QString reading = dir.filePath(QStringLiteral("ünïcode chart.qvn"));
    SingleInstance second(dir.path());
    EXPECT_FALSE(EnsureSingleInstance(second, dialogs, reading));
    EXPECT_TRUE(dialogs.calls.empty());
    ASSERT_TRUE(opened.wait(3000));
    EXPECT_EQ(opened.at(0).at(0).toString(), reading);

    // A relative name is taken from where the second start runs.
    const QString here = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    SingleInstance third(dir.path());
    EXPECT_FALSE(EnsureSingleInstance(third, dialogs, QStringLiteral("other.qvn")));
    QDir::setCurrent(here);
    ASSERT_TRUE(opened.wait(3000));
    EXPECT_EQ(opened.at(1).at(0).toString(), QFileInfo(dir.filePath(QStringLiteral("other.qvn"))).absoluteFilePath());
    EXPECT_EQ(woken.count(), 0);
}

// What the running copy does with each request that reaches its socket.
TEST(SingleInstance, RequestsOnTheSocketAreCheckedBeforeUse) {
    struct Case {
        const char* what;
        QByteArray request;
        bool wakes;
        QString opens;  // empty: nothing is opened
    };
    const Case cases[] = {
        {"show", "show\n", true, {}},
        {"open", "open\n/home/a/b.qvn", false, QStringLiteral("/home/a/b.qvn")},
        {"open without a path", "open\n", false, {}},
        {"a relative path", "open\nb.qvn", false, {}},
        {"a NUL in the path", QByteArray("open\n/a\0b.qvn", 13), false, {}},
        {"too long", "open\n/" + QByteArray(70000, 'a'), false, {}},
        {"unknown", "delete\n/x", false, {}},
        {"nothing", "", false, {}},
    };
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.acquire());
    for (const Case& c : cases) {
        QSignalSpy opened(&first, &SingleInstance::openRequested);
        QSignalSpy woken(&first, &SingleInstance::activationRequested);
        QLocalSocket client;
        client.connectToServer(first.socketPath());
        ASSERT_TRUE(client.waitForConnected(2000)) << c.what;
        client.write(c.request);
        while (client.bytesToWrite() > 0 && client.waitForBytesWritten(100)) QCoreApplication::processEvents();
        client.disconnectFromServer();
        QTest::qWait(0);
        (void)QTest::qWaitFor([&] { return !opened.isEmpty() || !woken.isEmpty(); }, 300);
        EXPECT_EQ(woken.count(), c.wakes ? 1 : 0) << c.what;
        EXPECT_EQ(opened.isEmpty() ? QString() : opened.at(0).at(0).toString(), c.opens) << c.what;
    }
}

// The program itself, started with its own runtime folder.
class ProgramStarts : public ::testing::Test {
protected:
    const QString program = QStringLiteral(QV_BINARY_DIR "/quorvane");
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    void SetUp() override {
        if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "quorvane is not built";
        ASSERT_TRUE(runtime.isValid());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    QString folder() const { return runtime.filePath(QStringLiteral("quorvane")); }
    void start(QProcess& p, const QStringList& args = {}) {
        p.setProcessEnvironment(env);
        p.start(program, args);
    }
    // True once a copy answers on the socket.
    bool answers(int timeoutMs = 15000) {
        SingleInstance probe(folder());
        return QTest::qWaitFor([&] { return probe.notifyRunning(200); }, timeoutMs);
    }
};

TEST_F(ProgramStarts, ASecondCopyIsRefusedAndACrashLocksNoOneOut) {
    QProcess first;
    start(first);
    ASSERT_TRUE(first.waitForStarted(10000));
    ASSERT_TRUE(answers()) << "the first copy never listened";
    SingleInstance probe(folder());
    EXPECT_FALSE(probe.acquire());
    EXPECT_EQ(ModeOf(folder()), 0700);

    // The first copy crashes: its lock file and socket stay behind.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_TRUE(QFileInfo::exists(probe.lockPath()));

    QProcess second;
    start(second);
    ASSERT_TRUE(second.waitForStarted(10000));
    EXPECT_TRUE(answers()) << "a crashed copy kept the program from starting";
    EXPECT_EQ(second.state(), QProcess::Running);
    second.kill();
    second.waitForFinished(10000);
}

// Copies started at the same moment, each with a reading: one takes the lock
// and runs; every other hands its reading over and ends. Each round's copy
// is then killed, so the next round also starts over a crash's leftovers.
// QV_START_ROUNDS asks for more rounds.
TEST_F(ProgramStarts, OfManySimultaneousStartsExactlyOneRuns) {
    QTemporaryDir readings;
    const QString reading = WriteReading(readings, QStringLiteral("asha.qvn"));
    const int rounds =
        qEnvironmentVariableIsSet("QV_START_ROUNDS") ? qEnvironmentVariableIntValue("QV_START_ROUNDS") : 3;
    constexpr int kStarts = 8;
    int started = 0, ran = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int k = 0; k < kStarts; ++k) {
            copies.push_back(std::make_unique<QProcess>());
            start(*copies.back(), {reading});
        }
        for (auto& c : copies) ASSERT_TRUE(c->waitForStarted(10000));
        started += kStarts;
        auto running = [&] {
            int n = 0;
            for (auto& c : copies) n += c->state() != QProcess::NotRunning;
            return n;
        };
        (void)QTest::qWaitFor([&] { return running() <= 1; }, 60000);
        QTest::qWait(300);  // a second winner would still be running now
        const int left = running();
        ran += left;
        EXPECT_EQ(left, 1) << "round " << round;
        for (auto& c : copies) {
            if (c->state() == QProcess::NotRunning) {
                EXPECT_EQ(c->exitStatus(), QProcess::NormalExit) << "round " << round;
                EXPECT_EQ(c->exitCode(), 0) << "round " << round;
            }
        }
        EXPECT_TRUE(answers(5000)) << "round " << round;
        for (auto& c : copies) {
            c->kill();
            c->waitForFinished(10000);
        }
    }
    RecordProperty("starts", started);
    RecordProperty("copies_that_ran", ran);
    std::printf("%d simultaneous starts in %d rounds: %d copies ran\n", started, rounds, ran);
}

}  // namespace
}  // namespace qv::test
