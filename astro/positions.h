// The chart's eleven position texts, Sun to Pluto and the ascendant.
#pragma once

#include <array>

#include "state/chart_state.h"
#include "state/engine.h"

namespace qv {

// Writes `longitude` slots 0 and 2..9 (the slots of BodyLongitude), the Sun
// and Mercury … Pluto at the chart's Universal Time with the calendar carry.
void StorePlanetLongitudes(const EngineInput& input, std::array<double, 11>& longitude);

// Writes PositionName (the body names) and PlanetPosition, slots 0..10, the
// position texts of BodyLongitude.
void WritePositionTexts(ChartState& state);

}  // namespace qv
