// Which elements, sign qualities and house types hold a body.
#pragma once

#include "app/chart_state.h"

namespace qv {

// Writes HouseSign, ElementResult, QualityResult, HouseTypeResult and
// InterpretationRuns.
void AnalyseElementsQualityHouse(ChartState& state);

}  // namespace qv
