// Printing the chart: page 1 holds the personal data, the position table and
// the wheel of the display form, scaled into the printable area; the whole
// interpretation follows as text at a readable size, in its colours and
// weights. Everything is drawn with QPainter, so text stays text (also in
// PDF files).
#pragma once

#include <QString>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QTextDocument;

namespace qv {

struct ChartAspects;

class FrmDisplay;

// The smallest type the printed interpretation uses, in points.
inline constexpr double kPrintedTextPoints = 10.5;

// The interpretation as it goes on paper: the box's text with its colours
// and weights, in type of kPrintedTextPoints, laid out without ligatures.
std::unique_ptr<QTextDocument> PrintedInterpretation(const QTextDocument& box);

// Paints the chart on `device` (which must not be painted on yet), with the
// grid of `aspects` under it when they are given and computed. Returns
// false, with the reason in `error`, when painting could not start.
bool PaintDisplayForm(FrmDisplay& form, QPagedPaintDevice& device, QString* error = nullptr,
                      const ChartAspects* aspects = nullptr);

// Prints the form on the printer chosen in the print dialog. When the printer
// writes a PDF file, that file goes through WriteFileAtomically: it is written
// whole or not at all, an earlier file of that name stays as it was when
// printing fails, and a folder, pipe, device or read-only file is refused.
bool PrintDisplayForm(FrmDisplay& form, QPrinter& printer, QString* error = nullptr,
                      const ChartAspects* aspects = nullptr);

}  // namespace qv
