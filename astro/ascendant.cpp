#include "astro/ascendant.h"

namespace qv {

// Placeholder until the module lands.
void CalculateAscendant(ChartState&) {}

}  // namespace qv
