#include "chartview/ui/chart_outputs.h"

#include <QLineEdit>
#include <QPrinter>

#include "chartview/text_export.h"
#include "chartview/ui/frm_display.h"
#include "chartview/ui/picture.h"
#include "chartview/ui/print.h"
#include "ui/program_identity.h"
#include "ui/user_dialogs.h"

namespace qv {

void ExportTextCommand(QWidget* parent, const ChartState& state, UserDialogs& dialogs, std::string& readingFileName) {
    FileDialogSettings settings;
    settings.title = QStringLiteral("Select the destination text file ");
    settings.filter = QStringLiteral("Export Chart As Text (*.txt)");
    settings.defaultSuffix = QStringLiteral("txt");
    settings.confirmOverwrite = true;
    SaveToChosenFile(parent, dialogs, settings, readingFileName,
                     [&](const std::filesystem::path& file) { return WriteTextExport(file, state); });
}

void SaveJpegCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs, QString& lastJpegName) {
    // The picture is taken before the dialog opens, so it is the chart as the
    // user saw it; it also goes into the form's hidden picture box.
    const QImage picture = OpaquePicture(display.captureClientArea());

    FileDialogSettings settings;
    settings.title = QStringLiteral("Save As JPEG");
    settings.filter = QStringLiteral("JPEG Image (*.jpg)");
    settings.defaultSuffix = QStringLiteral("JPG");
    settings.initialName = lastJpegName;
    // Never overwrites: an existing name gets a numbered copy instead.
    settings.confirmOverwrite = false;

    const std::optional<QString> chosen = dialogs.saveFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return;
    lastJpegName = JpegPathFromChosen(*chosen);

    const JpegSaveResult result = SaveFormAsJpeg(picture, *chosen, parent, dialogs);
    display.txtFile()->setText(result.fileName);
    if (result.refused) return;
    display.txtFolder()->setText(result.folder);
    if (!result.written) dialogs.message(parent, result.error, MessageIcon::Error);
}

void PrintCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs, const ChartAspects* aspects) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Quorvane chart"));
    printer.setCreator(
        QStringLiteral("%1 %2").arg(QString::fromLatin1(kProgramName), QString::fromLatin1(kProgramVersion)));
    printer.setPrintRange(QPrinter::AllPages);
    // The chart is scaled into the area inside these; the dialog may change them.
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!dialogs.printDialog(parent, printer)) return;

    QString error;
    if (!PrintDisplayForm(display, printer, &error, aspects)) dialogs.message(parent, error, MessageIcon::Error);
}

}  // namespace qv
