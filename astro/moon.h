// The Moon's longitude from its 25-term series, and the Moon's sign.
#pragma once

#include "app/chart_state.h"

namespace qv {

// Writes MoonText and MoonSignName (and BodyLongitude[1]).
void ComputeMoonPosition(ChartState& state);

}  // namespace qv
