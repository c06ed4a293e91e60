// Helpers of the output-command tests: scratch folders, file bytes, a
// file-size limit that makes writes fail part-way, and a chart-like form.
#pragma once

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <vector>

#include "gui/common/user_dialogs.h"

namespace qv::test {

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

// A file holding `bytes` without any write permission bit.
inline void WriteReadOnly(const QString& path, const QByteArray& bytes) {
    WriteAll(path, bytes);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

// A named pipe, as a hostile save target.
inline void MakePipe(const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0); }

// Every name in a folder, hidden ones included, sorted.
inline QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// While alive, no file of this process may grow beyond `bytes`: a write
// fails part-way as on a full disk (root ignores permissions, not this).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before_);
        handler_ = signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = before_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &before_);
        signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit before_ {};
    sighandler_t handler_ = nullptr;
};

// The system's temporary folder pointed at `folder` while alive, to see
// every temporary file the program makes.
class TempFolderRedirect {
public:
    explicit TempFolderRedirect(const QString& folder) : before_(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", QFile::encodeName(folder));
    }
    ~TempFolderRedirect() {
        if (before_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", before_);
    }

private:
    QByteArray before_;
};

// Records the titles of message boxes, which the scripted dialogs leave out.
class TitleRecorder final : public UserDialogs {
public:
    QStringList titles, texts;
    std::vector<MessageIcon> icons;
    void message(QWidget*, const QString& text, MessageIcon icon) override {
        titledMessage(nullptr, QStringLiteral("Quorvane"), text, icon);
    }
    void titledMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon) override {
        titles << title;
        texts << text;
        icons.push_back(icon);
    }
    std::optional<QString> saveFileName(QWidget*, const FileDialogSettings&) override { return {}; }
    std::optional<QString> openFileName(QWidget*, const FileDialogSettings&) override { return {}; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
};

}  // namespace qv::test
