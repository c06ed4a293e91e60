// The chart's eleven position texts, Sun to Pluto and the ascendant.
#pragma once

#include "state/chart_state.h"

namespace qv {

// Writes PositionName (the body names), PlanetPosition (and BodyLongitude).
void CalculatePositions(ChartState& state);

}  // namespace qv
