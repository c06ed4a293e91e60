// One running copy per user: a second start is refused and wakes the first;
// a copy that crashed does not keep the program from starting.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "startup/single_instance.h"
#include "tests/support/scripted_dialogs.h"

namespace qv::test {
namespace {

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
}

TEST(SingleInstance, ReleasedLockCanBeTakenAgain) {
    QTemporaryDir dir;
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.acquire());
    }
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.acquire());
}

TEST(SingleInstance, LeftoversOfACrashedCopyAreTakenOver) {
    QTemporaryDir dir;
    // A lock file naming a process that no longer runs, and its socket file.
    QProcess gone;
    gone.start(QStringLiteral("/bin/true"));
    ASSERT_TRUE(gone.waitForFinished(5000));
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    QFile lock(QDir(dir.path()).filePath(QStringLiteral("quorvane.lock")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nquorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(QDir(dir.path()).filePath(QStringLiteral("quorvane.socket")));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();

    SingleInstance next(dir.path());
    ASSERT_TRUE(next.acquire());
    QSignalSpy woken(&next, &SingleInstance::activationRequested);
    SingleInstance later(dir.path());
    EXPECT_FALSE(later.acquire());
    EXPECT_TRUE(later.notifyRunning(2000));
    EXPECT_TRUE(woken.wait(3000));
}

// A lock file that names no process is taken over when no copy answers on
// the socket, and refuses the start when one does.
TEST(SingleInstance, ALockFileWithoutAProcessIdLocksNobodyOut) {
    const QByteArray contents[] = {
        "", "\n", "garbage\n", "0\nquorvane\nhost\n", "-42\n", "\xff\xfe\x00\x01", QByteArray(100000, 'x')};
    for (const QByteArray& content : contents) {
        for (const bool answering : {false, true}) {
            QTemporaryDir dir;
            SingleInstance probe(dir.path());
            QFile lock(probe.lockPath());
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
            lock.write(content);
            lock.close();
            QLocalServer running;
            if (answering) ASSERT_TRUE(running.listen(probe.socketPath()));

            SingleInstance next(dir.path());
            EXPECT_EQ(next.acquire(), !answering) << content.left(20).toStdString() << answering;
            if (!answering) {
                SingleInstance third(dir.path());  // the lock is a real one now
                EXPECT_FALSE(third.acquire());
            }
        }
    }
}

// The program itself, run twice with its own runtime folder.
TEST(SingleInstance, TheProgramRefusesASecondCopyAndSurvivesACrash) {
    const QString program = QStringLiteral(QV_BINARY_DIR "/quorvane");
    if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "quorvane is not built";
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    auto startProgram = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.start(program, {});
        return p.waitForStarted(10000);
    };
    SingleInstance probe(runtime.path());
    auto running = [&] { return QTest::qWaitFor([&] { return probe.notifyRunning(200); }, 15000); };

    QProcess first;
    ASSERT_TRUE(startProgram(first));
    ASSERT_TRUE(running()) << "the first copy never listened";
    EXPECT_FALSE(probe.acquire());
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first copy crashes: its lock and socket stay behind.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_TRUE(QFileInfo::exists(probe.lockPath()));

    QProcess second;
    ASSERT_TRUE(startProgram(second));
    EXPECT_TRUE(running()) << "a crashed copy kept the program from starting";
    EXPECT_EQ(second.state(), QProcess::Running);
    second.kill();
    second.waitForFinished(10000);
}

}  // namespace
}  // namespace qv::test
