// The chart's eleven position texts, Sun to Pluto and the ascendant.
#pragma once

#include <array>
#include <string_view>

#include "app/chart_state.h"

namespace qv {

// Slot names 0..10: Sun, Moon, Mercury … Pluto, Asc.
inline constexpr std::array<std::string_view, 11> kPositionNames = {
    "Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};

// Writes PositionName, PlanetPosition (and BodyLongitude).
void CalculatePositions(ChartState& state);

}  // namespace qv
