// The chart's eleven position texts, Sun to Pluto and the ascendant.
#pragma once

#include "state/chart_state.h"

namespace qv {

// Writes the Sun's and the planets' BodyLongitude (slots 0, 2..9), then
// PositionName and PlanetPosition of all eleven slots (WritePositionTexts).
void CalculatePositions(ChartState& state);

// Writes BodyLongitude slots 0 and 2..9, the Sun and Mercury … Pluto at the
// chart's Universal Time with the calendar carry.
void StorePlanetLongitudes(ChartState& state);

// Writes PositionName (the body names) and PlanetPosition, slots 0..10, the
// position texts of BodyLongitude.
void WritePositionTexts(ChartState& state);

}  // namespace qv
