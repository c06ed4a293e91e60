#include "ui/user_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "ui/program_identity.h"

namespace qv {

namespace {

const QString kTitle = QString::fromLatin1(kProgramName);

QFileDialog* MakeFileDialog(QWidget* parent, const FileDialogSettings& s, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent, s.title.isEmpty() ? kTitle : s.title);
    dialog->setAcceptMode(mode);
    if (!s.filter.isEmpty()) dialog->setNameFilter(s.filter);
    if (!s.defaultSuffix.isEmpty()) dialog->setDefaultSuffix(s.defaultSuffix);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !s.confirmOverwrite);
    if (mode == QFileDialog::AcceptOpen)
        dialog->setFileMode(s.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    else
        dialog->setFileMode(QFileDialog::AnyFile);
    if (!s.initialName.isEmpty()) dialog->selectFile(s.initialName);
    return dialog;
}

std::optional<QString> RunFileDialog(QFileDialog* dialog) {
    std::optional<QString> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().constFirst();
    delete dialog;
    if (chosen && chosen->isEmpty()) chosen.reset();
    return chosen;
}

}  // namespace

void QtUserDialogs::message(QWidget* parent, const QString& text, MessageIcon icon) {
    titledMessage(parent, kTitle, text, icon);
}

void QtUserDialogs::titledMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Critical, title,
                    text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> QtUserDialogs::saveFileName(QWidget* parent, const FileDialogSettings& settings) {
    return RunFileDialog(MakeFileDialog(parent, settings, QFileDialog::AcceptSave));
}

std::optional<QString> QtUserDialogs::openFileName(QWidget* parent, const FileDialogSettings& settings) {
    return RunFileDialog(MakeFileDialog(parent, settings, QFileDialog::AcceptOpen));
}

bool QtUserDialogs::printDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(kTitle);
    // The chart always prints whole, so there is no page range to choose.
    // Printing to a PDF file stays: on a machine without a printer it is the
    // only way to print at all.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    return dialog.exec() == QDialog::Accepted;
}

std::filesystem::path LocalFilePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

}  // namespace qv
