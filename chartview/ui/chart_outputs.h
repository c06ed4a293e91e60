// The chart window's output commands: save the reading, export text,
// save a JPEG picture of the display form, print.
#pragma once

#include "state/chart_state.h"

class QWidget;

namespace qv {

class UserDialogs;
class FrmDisplay;

// "Save As" (menu and toolbar): writes the reading file of the chart state.
// zoneSlot is the birth-data form's selected time-zone slot.
void SaveReadingCommand(QWidget* parent, const ChartState& state, int zoneSlot, UserDialogs& dialogs,
                        std::string& readingFileName);
// "Export Chart As Text".
void ExportTextCommand(QWidget* parent, const ChartState& state, UserDialogs& dialogs,
                       std::string& readingFileName);
// "Save As JPEG": a picture of the display form as it is shown.
void SaveJpegCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs);
// "Print": the print dialog, then the chart on the chosen printer.
void PrintCommand(QWidget* parent, FrmDisplay& display, UserDialogs& dialogs);

// The last two for any widget that shows the chart.
void SaveFormJpegCommand(QWidget* parent, QWidget& form, UserDialogs& dialogs);
void PrintFormCommand(QWidget* parent, QWidget& form, UserDialogs& dialogs);

}  // namespace qv
