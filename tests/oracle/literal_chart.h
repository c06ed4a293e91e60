// The chart's labels, wheel and analysis as the program wrote them before
// they were derived from sign numbers: every sign looked up by its text,
// every message and line built piece by piece. Frozen, like the literal
// engine: the judge of the program's texts, lists and wheel.
#pragma once

#include "chart/chart_wheel.h"
#include "state/chart_state.h"

namespace qv::oracle {

// BodyLabel from RetrogradeFlag: the names reset, " (R) " appended to each
// retrograde planet.
void MarkLabels(ChartState& state);

// The wheel from PlanetPosition, BodyLabel, AscendantText, MoonSignName and
// SignAbbrevList.
void FillChartWheel(const ChartState& state, ChartWheel& wheel);

// The house boxes' display texts, house 1 first, joined from the wheel's
// bodies and the state's labels.
std::array<std::string, 12> HouseBoxTexts(const ChartState& state, const ChartWheel& wheel);

// HouseSign, the three result lists and InterpretationRuns from PlanetPosition.
void AnalyseElementsQualityHouse(ChartState& state);

}  // namespace qv::oracle
