// Retrograde marks from the built-in station tables.
#pragma once

#include "state/chart_state.h"

namespace qv {

// Rewrites RetrogradeFlag for the local civil birth date, then BodyLabel
// from the flags (WriteBodyLabels).
void MarkRetrogrades(ChartState& state);

// Rewrites RetrogradeFlag 0..7 (Mercury … Pluto) for the local civil birth
// date; a date that does not exist is retrograde nowhere.
void StoreRetrogradeFlags(ChartState& state);

// Rewrites BodyLabel slots 0..10: the body names, " (R) " after each planet
// whose RetrogradeFlag is set.
void WriteBodyLabels(ChartState& state);

}  // namespace qv
