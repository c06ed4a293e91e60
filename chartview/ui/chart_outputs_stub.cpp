#include "chartview/ui/chart_outputs.h"

namespace qv {

// Placeholders until the display form lands.
void SaveJpegCommand(QWidget*, FrmDisplay&, UserDialogs&) {}
void PrintCommand(QWidget*, FrmDisplay&, UserDialogs&) {}

}  // namespace qv
