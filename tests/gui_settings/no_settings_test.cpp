// The program keeps no settings: a session with every real dialog leaves no
// file in the configuration folder, and the file dialogs (and the print
// dialog's PDF file) start in the user's Documents folder, then in the
// folder of the last file chosen.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "gui/common/user_dialogs.h"
#include "tests/support/answerer.h"

namespace qv {
namespace {

using test::Answerer;

// Every file below `folder`, hidden ones included.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
}

TEST(NoSettings, ASessionWithEveryDialogWritesNoSettingsFile) {
    const QString home = QDir::homePath();
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_TRUE(QDir(config).exists());
    ASSERT_TRUE(QDir(home).mkpath(QStringLiteral("Documents")));
    ASSERT_TRUE(QDir(home).mkpath(QStringLiteral("charts")));
    QtUserDialogs dialogs;

    {
        Answerer<QMessageBox> ok([](QMessageBox* box) { box->accept(); });
        dialogs.message(nullptr, QStringLiteral("Please Enter Your Name"), MessageIcon::Error);
        dialogs.titledMessage(nullptr, QStringLiteral("About Quorvane"), QStringLiteral("x"), MessageIcon::Information);
        EXPECT_FALSE(ok.timedOut);
    }
    QStringList opensIn;
    const QString chosen = home + QStringLiteral("/charts/ada");
    {
        Answerer<QFileDialog> save([&](QFileDialog* d) {
            if (opensIn.isEmpty()) opensIn << d->directory().absolutePath();
            d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(chosen);
            static_cast<QDialog*>(d)->accept();
        });
        const auto got = dialogs.saveFileName(
            nullptr,
            {QStringLiteral("Quorvane"), QStringLiteral("Quorvane (*.qvn)"), QStringLiteral("qvn"), {}, true, false});
        EXPECT_EQ(got, std::optional<QString>(chosen + QStringLiteral(".qvn")));
    }
    for (const bool save : {false, true}) {
        Answerer<QFileDialog> cancel([&](QFileDialog* d) {
            opensIn << d->directory().absolutePath();
            d->reject();
        });
        EXPECT_FALSE((save ? dialogs.saveFileName(nullptr, {}) : dialogs.openFileName(nullptr, {})).has_value());
    }
    // The print dialog's PDF file is offered there too, and one printed
    // elsewhere moves the folder like a file chosen.
    QString pdfOffered;
    const QString printed = home + QStringLiteral("/prints/ada.pdf");
    ASSERT_TRUE(QDir(home).mkpath(QStringLiteral("prints")));
    for (const bool print : {false, true}) {
        Answerer<QPrintDialog> answer([&](QPrintDialog* d) {
            if (auto* file = d->findChild<QLineEdit*>(QStringLiteral("filename"))) {
                pdfOffered = file->text();
                file->setText(printed);
            }
            print ? d->accept() : d->reject();
        });
        QPrinter printer;
        printer.setDocName(QStringLiteral("Quorvane chart"));
        EXPECT_EQ(dialogs.printDialog(nullptr, printer), print);
        EXPECT_EQ(pdfOffered, home + QStringLiteral("/charts/Quorvane chart.pdf"));
    }
    {
        Answerer<QFileDialog> cancel([&](QFileDialog* d) {
            opensIn << d->directory().absolutePath();
            d->reject();
        });
        EXPECT_FALSE(dialogs.openFileName(nullptr, {}).has_value());
    }
    QCoreApplication::processEvents();

    // Documents first, then where the last file was chosen; a cancel keeps it.
    EXPECT_EQ(opensIn, (QStringList{home + QStringLiteral("/Documents"), home + QStringLiteral("/charts"),
                                    home + QStringLiteral("/charts"), home + QStringLiteral("/prints")}));
    EXPECT_EQ(FilesBelow(config), QStringList());
    const QStringList homeSettings =
        FilesBelow(home).filter(QStringLiteral(".conf")) + FilesBelow(home + QStringLiteral("/.config"));
    EXPECT_EQ(homeSettings, QStringList());
}

}  // namespace
}  // namespace qv
