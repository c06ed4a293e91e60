#include "chartview/ui/chart_outputs.h"

namespace qv {

// Placeholders until the output commands land.
void SaveReadingCommand(QWidget*, const ChartState&, int, UserDialogs&, std::string&) {}
void ExportTextCommand(QWidget*, const ChartState&, UserDialogs&, std::string&) {}
void SaveJpegCommand(QWidget*, FrmDisplay&, UserDialogs&) {}
void PrintCommand(QWidget*, FrmDisplay&, UserDialogs&) {}

}  // namespace qv
