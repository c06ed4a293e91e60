// The chart window's output commands: export text, save a picture of the
// display form (a JPEG at its designed size, or a PNG, SVG or JPEG at any
// width), print. (Saving the reading sits with opening it, on the
// birth-data side; the chart window asks for it by a signal.)
#pragma once

#include <QString>
#include <string>

#include "state/chart_state.h"

class QWidget;

namespace qv {

class UserDialogs;
class FrmDisplay;

// "Export Chart As Text". `readingFileName` is the name last chosen for the
// reading or the export, offered again and updated.
void ExportTextCommand(QWidget* parent, const ChartState& state, UserDialogs& dialogs, std::string& readingFileName);
// "Save As JPEG": a picture of the display form as it is shown. The dialog
// offers `lastJpegName`; a chosen name replaces it, as the name of the
// picture file it makes ("chart" chosen: ".../chart.jpg").
void SaveJpegCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs, QString& lastJpegName);
// "Save As Picture": a file dialog (PNG, SVG or JPEG, told by the name's
// extension; a name without one becomes a PNG file), then the width in
// pixels, then the chart drawn afresh at that width. `lastName` and
// `lastWidth` are offered and replaced by what was chosen; cancelling either
// dialog writes nothing. A file that cannot be written is reported.
void SavePictureCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs, QString& lastName, int& lastWidth);
// "Print": the print dialog, then the chart on the chosen printer, with the
// grid of `aspects` under it when given.
void PrintCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs, const ChartAspects* aspects = nullptr);

}  // namespace qv
