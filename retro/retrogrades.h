// Retrograde marks from the built-in station tables.
#pragma once

#include "state/chart_state.h"

namespace qv {

// Rewrites RetrogradeFlag and BodyLabel for the local civil birth date.
void MarkRetrogrades(ChartState& state);

}  // namespace qv
