#include "retro/retrogrades.h"

namespace qv {

// Placeholder until the module lands.
void MarkRetrogrades(ChartState&) {}

}  // namespace qv
