#include "gui/chart/chart_outputs.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <algorithm>

#include "formats/text_export.h"
#include "gui/chart/chart_picture.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/picture.h"
#include "gui/chart/print.h"
#include "gui/common/program_identity.h"
#include "gui/common/user_dialogs.h"

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

void SavePictureCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs, QString& lastName, int& lastWidth) {
    FileDialogSettings settings;
    settings.title = QStringLiteral("Save As Picture");
    settings.filter = QStringLiteral("PNG Image (*.png);;SVG Image (*.svg);;JPEG Image (*.jpg *.jpeg)");
    settings.defaultSuffix = QStringLiteral("png");
    settings.initialName = lastName;
    settings.confirmOverwrite = true;
    const std::optional<QString> chosen = dialogs.saveFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return;

    QString path = *chosen;
    if (!PictureFormatOfName(path.toStdString())) {
        // Another extension stays part of the name: "chart.v2" becomes
        // "chart.v2.png". The dialog asked about the name chosen, not this one.
        path += QStringLiteral(".png");
        const QFileInfo file(path);
        if ((file.exists() || file.isSymLink()) &&
            !dialogs.question(parent,
                              QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(file.fileName())))
            return;
    }
    const std::optional<int> width = dialogs.number(parent, QStringLiteral("Save As Picture"),
                                                    QStringLiteral("Width of the picture in pixels (%L1 to %L2):")
                                                        .arg(kSmallestPictureWidth)
                                                        .arg(kLargestPictureWidth),
                                                    std::clamp(lastWidth, kSmallestPictureWidth, kLargestPictureWidth),
                                                    kSmallestPictureWidth, kLargestPictureWidth);
    if (!width) return;
    lastName = path;
    lastWidth = *width;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<QString> failed = WriteChartPicture(display, path, *width);
    QGuiApplication::restoreOverrideCursor();
    if (failed) dialogs.message(parent, *failed, MessageIcon::Error);
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
