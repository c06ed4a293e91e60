// The real dialogs behind the program's messages and file choices.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/ui/user_dialogs.h"

namespace qv {
namespace {

// Runs `inspect` on the modal dialog once it is shown, which must close it.
template <class Dialog>
void WhenShown(std::function<void(Dialog*)> inspect) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            inspect(d);
        }
    });
    timer->start();
}

TEST(QtUserDialogs, MessageBoxesCarryTheTextTitleAndIcon) {
    struct Case {
        MessageIcon icon;
        QMessageBox::Icon shown;
    };
    for (const Case c : {Case{MessageIcon::Error, QMessageBox::Critical},
                         Case{MessageIcon::Information, QMessageBox::Information}}) {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            box->accept();
        });
        QtUserDialogs().message(nullptr, QStringLiteral("Please Enter Your Name"), c.icon);
        EXPECT_EQ(text, QStringLiteral("Please Enter Your Name"));
        EXPECT_EQ(title, QStringLiteral("Quorvane"));
        EXPECT_EQ(icon, c.shown);
    }
}

TEST(QtUserDialogs, FileDialogsTakeTheirSettings) {
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("ada"));
    struct Case {
        bool save;
        FileDialogSettings settings;
        QString expected;
    };
    const Case cases[] = {
        {true, {QStringLiteral("Quorvane"), QStringLiteral("Quorvane (*.qvn)"), QStringLiteral("qvn"),
                QStringLiteral("ada.qvn"), true, false},
         chosen + QStringLiteral(".qvn")},
        {false, {QStringLiteral("Select the source file"), QStringLiteral("Quorvane (*.qvn)"),
                 QStringLiteral("qvn"), {}, false, false},
         chosen + QStringLiteral(".qvn")},
    };
    for (const Case& c : cases) {
        QFileDialog::AcceptMode mode{};
        QString title, suffix;
        QStringList filters;
        bool confirms = false;
        WhenShown<QFileDialog>([&](QFileDialog* d) {
            mode = d->acceptMode();
            title = d->windowTitle();
            suffix = d->defaultSuffix();
            filters = d->nameFilters();
            confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
            d->selectFile(chosen);
            static_cast<QDialog*>(d)->accept();
        });
        QtUserDialogs dialogs;
        const auto got = c.save ? dialogs.saveFileName(nullptr, c.settings) : dialogs.openFileName(nullptr, c.settings);
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
    WhenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(QtUserDialogs().openFileName(nullptr, {}).has_value());
}

}  // namespace
}  // namespace qv
