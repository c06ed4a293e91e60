// The chart's eleven position texts, Sun to Pluto and the ascendant.
#pragma once

#include "app/chart_state.h"

namespace qv {

// Writes PositionName, PlanetPosition (and BodyLongitude).
void CalculatePositions(ChartState& state);

}  // namespace qv
