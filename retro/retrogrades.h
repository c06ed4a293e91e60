// Retrograde marks from the built-in station tables.
#pragma once

#include <array>

#include "state/birth_data.h"
#include "state/chart_state.h"

namespace qv {

// The retrograde flags 0..7 (Mercury … Pluto) of a local civil birth date
// and time; a date that does not exist is retrograde nowhere.
std::array<bool, 8> RetrogradeFlagsOn(const LocalDateTime& local);

// Rewrites BodyLabel slots 0..10: the body names, " (R) " after each planet
// whose RetrogradeFlag is set.
void WriteBodyLabels(ChartState& state);

}  // namespace qv
