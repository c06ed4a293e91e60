#include "chartview/ui/chart_outputs.h"

#include <QPrinter>
#include <QVariant>
#include <QWidget>

#include "app/reading_file.h"
#include "app/ui/reading_commands.h"
#include "app/ui/user_dialogs.h"
#include "app/ui/web_links.h"
#include "chartview/text_export.h"
#include "chartview/ui/frm_display.h"
#include "chartview/ui/picture.h"
#include "chartview/ui/print.h"

namespace qv {

namespace {

// Where the display form keeps the name last chosen in the JPEG dialog; it
// lives as long as the chart window does.
constexpr char kLastJpegName[] = "qvLastJpegName";

// Writes `text` into the form's hidden box `name`, when the form has one.
void RecordInForm(QWidget& form, const char* name, const QString& text) {
    if (QObject* box = form.findChild<QObject*>(QString::fromLatin1(name))) box->setProperty("text", text);
}

// "Save As JPEG" with the picture taken just before the dialog opens, so the
// picture is the chart as the user saw it.
void SaveJpegOf(QWidget* parent, QWidget& form, const QImage& picture, UserDialogs& dialogs) {
    FileDialogSettings settings;
    settings.title = QStringLiteral("Save As JPEG");
    settings.filter = QStringLiteral("JPEG Image (*.jpg)");
    settings.defaultSuffix = QStringLiteral("JPG");
    settings.initialName = form.property(kLastJpegName).toString();
    // Never overwrites: an existing name gets a numbered copy instead.
    settings.confirmOverwrite = false;

    const std::optional<QString> chosen = dialogs.saveFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return;
    form.setProperty(kLastJpegName, *chosen);

    const JpegSaveResult result = SaveFormAsJpeg(picture, *chosen, parent, dialogs);
    RecordInForm(form, "txtFile", result.fileName);
    if (result.refused) return;
    RecordInForm(form, "txtFolder", result.folder);
    if (!result.written) dialogs.message(parent, result.error, MessageIcon::Error);
}

}  // namespace

void SaveReadingCommand(QWidget* parent, const ChartState& state, int zoneSlot, UserDialogs& dialogs,
                        std::string& readingFileName) {
    FileDialogSettings settings;
    settings.title = QString::fromLatin1(kProgramName);
    settings.filter = QStringLiteral("Quorvane (*.qvn)");
    settings.defaultSuffix = QStringLiteral("qvn");
    settings.initialName = QString::fromStdString(readingFileName);
    settings.confirmOverwrite = true;

    const std::optional<QString> chosen = dialogs.saveFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return;
    readingFileName = chosen->toStdString();

    if (const auto error = WriteReadingFile(LocalFilePath(*chosen), state, zoneSlot))
        dialogs.message(parent, QString::fromStdString(*error), MessageIcon::Error);
}

void ExportTextCommand(QWidget* parent, const ChartState& state, UserDialogs& dialogs,
                       std::string& readingFileName) {
    FileDialogSettings settings;
    settings.title = QStringLiteral("Select the destination text file ");
    settings.filter = QStringLiteral("Export Chart As Text (*.txt)");
    settings.defaultSuffix = QStringLiteral("txt");
    settings.initialName = QString::fromStdString(readingFileName);
    settings.confirmOverwrite = true;

    const std::optional<QString> chosen = dialogs.saveFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return;
    readingFileName = chosen->toStdString();

    if (const auto error = WriteTextExport(LocalFilePath(*chosen), state))
        dialogs.message(parent, QString::fromStdString(*error), MessageIcon::Error);
}

void SaveFormJpegCommand(QWidget* parent, QWidget& form, UserDialogs& dialogs) {
    SaveJpegOf(parent, form, CaptureFormClient(form), dialogs);
}

void SaveJpegCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs) {
    // The capture also goes into the form's hidden picture box.
    SaveJpegOf(parent, display, OpaquePicture(display.captureClientArea()), dialogs);
}

void PrintFormCommand(QWidget* parent, QWidget& form, UserDialogs& dialogs) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Quorvane chart"));
    printer.setCreator(QStringLiteral("%1 %2").arg(QString::fromLatin1(kProgramName),
                                                    QString::fromLatin1(kProgramVersion)));
    printer.setPrintRange(QPrinter::AllPages);
    if (!dialogs.printDialog(parent, printer)) return;

    QString error;
    if (!PrintDisplayForm(form, printer, &error)) dialogs.message(parent, error, MessageIcon::Error);
}

void PrintCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs) {
    PrintFormCommand(parent, display, dialogs);
}

}  // namespace qv
