// Every message box, file dialog and print dialog of the program goes through
// this interface, so tests can answer them from a script and record them.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "state/message_icon.h"

class QFileDialog;
class QPrinter;
class QWidget;

namespace qv {

struct FileDialogSettings {
    QString title;
    QString filter;         // Qt filter text, e.g. "Quorvane (*.qvn)"
    QString defaultSuffix;  // without the dot, e.g. "qvn"
    QString initialName;    // initial file name (may be empty)
    bool confirmOverwrite = true;
    bool mustExist = false;  // open dialogs: the file must exist
    // Save dialogs: the file written always ends in "." + defaultSuffix, also
    // when the name chosen ends in another extension (see SaveToChosenFile).
    bool alwaysSuffix = false;
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // A message box with an OK button; returns when the user confirms.
    virtual void message(QWidget* parent, const QString& text, MessageIcon icon) = 0;
    // The same with a title of its own instead of the program's name.
    virtual void titledMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
        (void)title;
        message(parent, text, icon);
    }
    // A question with Yes and No buttons, No the default; true for Yes. The
    // default answer, for dialogs that cannot ask, is No.
    virtual bool question(QWidget* parent, const QString& text) {
        (void)parent;
        (void)text;
        return false;
    }
    // A whole number from `smallest` to `largest`, `value` offered; nullopt
    // when cancelled. The default answer, for dialogs that cannot ask, is
    // the value offered.
    virtual std::optional<int> number(QWidget* parent, const QString& title, const QString& label, int value,
                                      int smallest, int largest) {
        (void)parent;
        (void)title;
        (void)label;
        (void)smallest;
        (void)largest;
        return value;
    }
    // A question with a button for each of `answers`, in their order: the
    // index of the one chosen. `defaultAnswer` is the button Enter presses;
    // Escape, or closing the box, gives `escapeAnswer`. Dialogs that cannot
    // ask give -1: the caller goes on as if the question had not come up.
    virtual int choice(QWidget* parent, const QString& text, const QStringList& answers, int defaultAnswer,
                       int escapeAnswer) {
        (void)parent;
        (void)text;
        (void)answers;
        (void)defaultAnswer;
        (void)escapeAnswer;
        return -1;
    }
    // Save / open dialogs: the chosen path, or nullopt when cancelled.
    virtual std::optional<QString> saveFileName(QWidget* parent, const FileDialogSettings& settings) = 0;
    virtual std::optional<QString> openFileName(QWidget* parent, const FileDialogSettings& settings) = 0;
    // The print dialog on `printer`; true when the user accepts.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;
};

// The real dialogs (QMessageBox, QFileDialog, QPrintDialog). The file
// dialogs, and the print dialog's PDF file, open in the user's Documents
// folder (or home), then in the folder of the last file chosen; nothing of
// them is kept after the program ends.
class QtUserDialogs final : public UserDialogs {
public:
    QtUserDialogs();
    void message(QWidget* parent, const QString& text, MessageIcon icon) override;
    void titledMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
    bool question(QWidget* parent, const QString& text) override;
    std::optional<int> number(QWidget* parent, const QString& title, const QString& label, int value, int smallest,
                              int largest) override;
    int choice(QWidget* parent, const QString& text, const QStringList& answers, int defaultAnswer,
               int escapeAnswer) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogSettings& settings) override;
    std::optional<QString> openFileName(QWidget* parent, const FileDialogSettings& settings) override;
    bool printDialog(QWidget* parent, QPrinter& printer) override;

private:
    QFileDialog* fileDialog(QWidget* parent, const FileDialogSettings& settings, bool save) const;
    std::optional<QString> runFileDialog(QFileDialog* dialog);

    QString folder_;  // where the next file dialog opens
};

// A path chosen in a file dialog as the file system names it.
std::filesystem::path LocalFilePath(const QString& path);

// Writes a file under a name chosen in a save dialog. The dialog offers
// `lastName` with the dialog's own extension (WithOwnExtension); the name
// written replaces it and goes to `write`, whose failure message (nullopt on
// success) is shown as an error. With `alwaysSuffix` a name chosen without
// the extension gets it, and if that makes the name of another file that
// exists, the user is asked before it is replaced. A cancelled dialog or
// question changes nothing.
using FileWriter = std::function<std::optional<std::string>(const std::filesystem::path&)>;
void SaveToChosenFile(QWidget* parent, UserDialogs& dialogs, FileDialogSettings settings, std::string& lastName,
                      const FileWriter& write);

}  // namespace qv
