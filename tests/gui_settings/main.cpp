// The real dialogs in a fresh home: HOME and XDG_CONFIG_HOME point at new
// empty folders before Qt starts, so whatever Qt would keep between runs
// lands where the tests look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir fresh;
    if (!fresh.isValid()) return 2;
    for (const char* folder : {"home", "config"}) QDir(fresh.path()).mkdir(QString::fromLatin1(folder));
    qputenv("HOME", QFile::encodeName(fresh.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(fresh.filePath(QStringLiteral("config"))));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
