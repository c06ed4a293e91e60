#include "astro/positions.h"

namespace qv {

// Placeholder until the module lands.
void CalculatePositions(ChartState&) {}

}  // namespace qv
