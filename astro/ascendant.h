// Tropical ascendant of the birth moment and place.
#pragma once

#include "app/chart_state.h"

namespace qv {

// Writes AscendantText (and BodyLongitude[10]).
void CalculateAscendant(ChartState& state);

}  // namespace qv
