#include "app/chart_wheel.h"

namespace qv {

// Placeholder until the wheel logic lands.
void FillChartWheel(const ChartState&, ChartWheel&) {}

}  // namespace qv
