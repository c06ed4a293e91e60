#include "astro/moon.h"

namespace qv {

// Placeholder until the module lands.
void ComputeMoonPosition(ChartState&) {}

}  // namespace qv
