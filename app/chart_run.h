// One whole calculation after the form's checks have passed.
//
// The road of a chart: the birth data into the state, the engine's numbers
// (BodyLongitude, slots 0..10, and RetrogradeFlag, Mercury … Pluto), then one
// shared step from those numbers to every text, the wheel and the analysis.
// An engine of its own writes the same numbers and calls ChartFromNumbers.
#pragma once

#include <optional>
#include <string>

#include "app/birth_form.h"
#include "app/birth_values.h"
#include "app/chart_wheel.h"
#include "state/precise_engine.h"
#include "state/chart_state.h"

namespace qv {

// Copies the form into the state and calculates the chart: the engine's
// numbers, then ChartFromNumbers. Without `precise` the built-in formulas
// give the numbers; with it the precise engine does, and when it has none its
// message comes back and the state and the wheel are left as they were.
// PositionSource says which engine gave the chart.
std::optional<std::string> RunChartCalculation(const BirthFormData& form, ChartState& state, ChartWheel& wheel,
                                               const PreciseEngine& precise = {});

// The moment and place an engine takes for the birth data in the state.
EngineInput EngineInputOf(const ChartState& state);

// The built-in engine's numbers for the birth data in the state: the
// ascendant, the Moon, the Sun and the planets into BodyLongitude, and the
// retrograde flags from the station tables.
void ClassicChartNumbers(ChartState& state);

// Every text and label of the chart from BodyLongitude and RetrogradeFlag:
// AscendantText, MoonText, MoonSignName, PositionName, PlanetPosition and
// BodyLabel.
void WriteChartTexts(ChartState& state);

// The chart from its numbers: WriteChartTexts, the wheel, the analysis.
void ChartFromNumbers(ChartState& state, ChartWheel& wheel);

// The chart of `values` as the command calculates it: turned into the form's
// data and checked as the form checks it, then calculated into a state whose
// fixed lists are filled, by `precise` when given. nullopt on success, else
// the first message.
std::optional<std::string> CalculateChartOf(const BirthValues& values, ChartState& state, ChartWheel& wheel,
                                            const PreciseEngine& precise = {});

}  // namespace qv
