#include "analysis/elements.h"

namespace qv {

// Placeholder until the module lands.
void AnalyseElementsQualityHouse(ChartState&) {}

}  // namespace qv
