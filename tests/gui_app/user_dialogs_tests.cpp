// The real dialogs behind the program's messages and file choices.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "gui/common/user_dialogs.h"
#include "tests/support/answerer.h"

namespace qv {
namespace {

using test::Answerer;

TEST(QtUserDialogs, MessageBoxesCarryTheTextTitleAndIcon) {
    struct Case {
        MessageIcon icon;
        QMessageBox::Icon shown;
    };
    for (const Case c :
         {Case{MessageIcon::Error, QMessageBox::Critical}, Case{MessageIcon::Information, QMessageBox::Information}}) {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        Answerer<QMessageBox> answerer([&](QMessageBox* box) {
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            box->accept();
        });
        QtUserDialogs().message(nullptr, QStringLiteral("Please Enter Your Name"), c.icon);
        EXPECT_FALSE(answerer.timedOut);
        EXPECT_EQ(text, QStringLiteral("Please Enter Your Name"));
        EXPECT_EQ(title, QStringLiteral("Quorvane"));
        EXPECT_EQ(icon, c.shown);
    }
}

TEST(QtUserDialogs, FileDialogsTakeTheirSettings) {
    QTemporaryDir dir;
    // Save: a new name typed without its extension gets it. Open: an existing file.
    const QString typed = dir.filePath(QStringLiteral("ada"));
    const QString existing = dir.filePath(QStringLiteral("carl.qvn"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    struct Case {
        bool save;
        FileDialogSettings settings;
        QString chosen, expected;
    };
    const Case cases[] = {
        {true,
         {QStringLiteral("Quorvane"), QStringLiteral("Quorvane (*.qvn)"), QStringLiteral("qvn"),
          QStringLiteral("ada.qvn"), true, false},
         typed,
         typed + QStringLiteral(".qvn")},
        {false,
         {QStringLiteral("Select the source file"),
          QStringLiteral("Quorvane (*.qvn)"),
          QStringLiteral("qvn"),
          {},
          false,
          true},
         existing,
         existing},
    };
    for (const Case& c : cases) {
        QFileDialog::AcceptMode mode{};
        QString title, suffix;
        QStringList filters;
        bool confirms = false;
        Answerer<QFileDialog> answerer([&](QFileDialog* d) {
            mode = d->acceptMode();
            title = d->windowTitle();
            suffix = d->defaultSuffix();
            filters = d->nameFilters();
            confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
            // Typed into the name box, as a user does (selectFile leaves a
            // focused name box alone).
            if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(c.chosen);
            else
                d->selectFile(c.chosen);
            static_cast<QDialog*>(d)->accept();
        });
        QtUserDialogs dialogs;
        const auto got = c.save ? dialogs.saveFileName(nullptr, c.settings) : dialogs.openFileName(nullptr, c.settings);
        EXPECT_FALSE(answerer.timedOut);
        EXPECT_EQ(mode, c.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(title, c.settings.title);
        EXPECT_EQ(suffix, QStringLiteral("qvn"));
        EXPECT_EQ(filters, QStringList{QStringLiteral("Quorvane (*.qvn)")});
        EXPECT_EQ(confirms, c.settings.confirmOverwrite);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(*got, c.expected);
    }
}

TEST(QtUserDialogs, CancelledFileDialogGivesNothing) {
    Answerer<QFileDialog> answerer([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(QtUserDialogs().openFileName(nullptr, {}).has_value());
}

}  // namespace
}  // namespace qv
