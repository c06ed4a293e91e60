#include "gui/common/user_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <vector>

#include "formats/file_names.h"
#include "gui/common/program_identity.h"

namespace qv {

namespace {

const QString kTitle = QString::fromLatin1(kProgramName);

std::optional<QString> RunFileDialog(QFileDialog* dialog) {
    std::optional<QString> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().constFirst();
    delete dialog;
    if (chosen && chosen->isEmpty()) chosen.reset();
    return chosen;
}

// Qt's file dialog writes its folder history through QSettings("QtProject")
// when it closes: a QtProject.conf in the user's configuration folder. The
// program keeps no settings between runs, so that store is pointed at a path
// under which no file can be made, and the dialogs start fresh every run.
void KeepNoDialogHistory() {
    static const bool pointed = [] {
        const QString nowhere = QStringLiteral("/dev/null");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
        return true;
    }();
    (void)pointed;
}

// The user's Documents folder, or the home folder when there is none.
QString StartFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

}  // namespace

QtUserDialogs::QtUserDialogs() : folder_(StartFolder()) { KeepNoDialogHistory(); }

QFileDialog* QtUserDialogs::fileDialog(QWidget* parent, const FileDialogSettings& s, bool save) const {
    const auto mode = save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen;
    auto* dialog = new QFileDialog(parent, s.title.isEmpty() ? kTitle : s.title, folder_);
    // Qt's own dialog on every desktop: a platform dialog may keep a history of its own.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(mode);
    if (!s.filter.isEmpty()) dialog->setNameFilter(s.filter);
    if (!s.defaultSuffix.isEmpty()) dialog->setDefaultSuffix(s.defaultSuffix);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !s.confirmOverwrite);
    if (mode == QFileDialog::AcceptOpen)
        dialog->setFileMode(s.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    else
        dialog->setFileMode(QFileDialog::AnyFile);
    // A full name offered again opens its own folder.
    if (!s.initialName.isEmpty()) dialog->selectFile(s.initialName);
    return dialog;
}

std::optional<QString> QtUserDialogs::runFileDialog(QFileDialog* dialog) {
    std::optional<QString> chosen = RunFileDialog(dialog);
    if (chosen) folder_ = QFileInfo(*chosen).absolutePath();
    return chosen;
}

void QtUserDialogs::message(QWidget* parent, const QString& text, MessageIcon icon) {
    titledMessage(parent, kTitle, text, icon);
}

void QtUserDialogs::titledMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Critical, title, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

bool QtUserDialogs::question(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<int> QtUserDialogs::number(QWidget* parent, const QString& title, const QString& label, int value,
                                         int smallest, int largest) {
    bool accepted = false;
    const int chosen = QInputDialog::getInt(parent, title, label, value, smallest, largest, 1, &accepted);
    if (!accepted) return std::nullopt;
    return chosen;
}

int QtUserDialogs::choice(QWidget* parent, const QString& text, const QStringList& answers, int defaultAnswer,
                          int escapeAnswer) {
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, parent);
    std::vector<QAbstractButton*> buttons;
    for (int i = 0; i < answers.size(); ++i) {
        QPushButton* b = box.addButton(answers[i], QMessageBox::ActionRole);
        b->setAccessibleName(answers[i]);
        buttons.push_back(b);
        if (i == defaultAnswer) box.setDefaultButton(b);
        if (i == escapeAnswer) box.setEscapeButton(b);
    }
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    return escapeAnswer;
}

std::optional<QString> QtUserDialogs::saveFileName(QWidget* parent, const FileDialogSettings& settings) {
    return runFileDialog(fileDialog(parent, settings, true));
}

std::optional<QString> QtUserDialogs::openFileName(QWidget* parent, const FileDialogSettings& settings) {
    return runFileDialog(fileDialog(parent, settings, false));
}

bool QtUserDialogs::printDialog(QWidget* parent, QPrinter& printer) {
    // Printing to a PDF file offers a file in the folder the file dialogs
    // open in, named after the document; a printer chosen in the dialog
    // stays the one to print on.
    if (printer.outputFileName().isEmpty()) {
        const bool onPrinter = printer.outputFormat() == QPrinter::NativeFormat;
        const QString name = printer.docName().isEmpty() ? QStringLiteral("print") : printer.docName();
        printer.setOutputFileName(QDir(folder_).filePath(name + QStringLiteral(".pdf")));
        if (onPrinter) printer.setOutputFormat(QPrinter::NativeFormat);
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(kTitle);
    // The chart always prints whole, so there is no page range to choose.
    // Printing to a PDF file stays: on a machine without a printer it is the
    // only way to print at all.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted) return false;
    // A PDF file chosen is the last file used, like one chosen in a file dialog.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        folder_ = QFileInfo(printer.outputFileName()).absolutePath();
    return true;
}

std::filesystem::path LocalFilePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

void SaveToChosenFile(QWidget* parent, UserDialogs& dialogs, FileDialogSettings settings, std::string& lastName,
                      const FileWriter& write) {
    const std::string suffix = settings.defaultSuffix.toStdString();
    settings.initialName = QString::fromStdString(WithOwnExtension(lastName, suffix));
    const std::optional<QString> chosen = dialogs.saveFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return;

    QString target = *chosen;
    if (settings.alwaysSuffix) {
        target = QString::fromStdString(WithOwnExtension(chosen->toStdString(), suffix));
        // The dialog asked about the name chosen, not about this one.
        const QFileInfo file(target);
        if (target != *chosen && (file.exists() || file.isSymLink()) &&
            !dialogs.question(parent,
                              QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(file.fileName())))
            return;
    }
    lastName = target.toStdString();

    if (const auto error = write(LocalFilePath(target)))
        dialogs.message(parent, QString::fromStdString(*error), MessageIcon::Error);
}

}  // namespace qv
