#include "app/time_zones.h"

namespace qv {

// Placeholder until the module lands.
void LoadTimeZones(ChartState&) {}

}  // namespace qv
