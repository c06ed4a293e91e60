// Printing the display form: the form as it is shown, scaled to fit the
// first page, then the whole interpretation text on the pages that follow.
// Everything is drawn with QPainter, so text stays text (also in PDF files).
#pragma once

#include <QString>

class QPagedPaintDevice;
class QPrinter;
class QTextDocument;
class QWidget;

namespace qv {

// The interpretation text of the display form (its "RTB" box), or nullptr.
const QTextDocument* InterpretationOf(const QWidget& form);

// Paints the form on `device` (which must not be painted on yet). Returns
// false, with the reason in `error`, when painting could not start.
bool PaintDisplayForm(QWidget& form, QPagedPaintDevice& device, QString* error = nullptr);

// Prints the form on the printer chosen in the print dialog. When the printer
// writes a PDF file, that file goes through WriteFileAtomically: it is written
// whole or not at all, an earlier file of that name stays as it was when
// printing fails, and a folder, pipe, device or read-only file is refused.
bool PrintDisplayForm(QWidget& form, QPrinter& printer, QString* error = nullptr);

}  // namespace qv
