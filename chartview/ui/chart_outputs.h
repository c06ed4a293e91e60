// The chart window's output commands: export text, save a JPEG picture of
// the display form, print. (Saving the reading sits with opening it, on the
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
// "Print": the print dialog, then the chart on the chosen printer, with the
// grid of `aspects` under it when given.
void PrintCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs, const ChartAspects* aspects = nullptr);

}  // namespace qv
