// One whole calculation of checked birth data.
//
// The road of a chart: the birth data's moment and place (EngineInput) to
// an engine, which gives its numbers (longitudes in slot order and the
// retrograde flags of Mercury … Pluto); then the chart state is written
// once: its birth fields, the moment, the numbers and the signs, and from
// those every text, the wheel and the analysis (ChartFromNumbers).
#pragma once

#include <optional>
#include <string>

#include "chart/birth_form.h"
#include "chart/chart_wheel.h"
#include "state/birth_data.h"
#include "state/chart_state.h"
#include "state/engine.h"

namespace qv {

// Calculates the chart of `birth` into the state and the wheel. Without
// `precise` the built-in formulas give the numbers; with it the precise
// engine does, and when it has none its message comes back and the state
// and the wheel are left as they were. PositionSource says which engine gave
// the chart. With `aspects` the chart's Aspects are found too, which asks
// the same engine for the minute after the birth (and, for a birth time not
// known, for the Moon at the start and the end of the day); without, they
// are marked as not computed.
[[nodiscard]] std::optional<std::string> RunChartCalculation(const BirthData& birth, ChartState& state,
                                                             ChartWheel& wheel, const PreciseEngine& precise = {},
                                                             bool aspects = true);

// The longitudes of the built-in formulas alone, in slot order, without the
// retrograde flags.
std::array<double, 11> ClassicLongitudes(const EngineInput& input);

// The built-in engine's numbers: the ascendant, the Moon, the Sun and the
// planets, and the retrograde flags from the station tables.
EngineNumbers ClassicChartNumbers(const EngineInput& input);

// Every text and label of the chart from BodyLongitude and RetrogradeFlag:
// AscendantText, MoonText, MoonSignName, PositionName, PlanetPosition and
// BodyLabel.
void WriteChartTexts(ChartState& state);

// The chart from its numbers: BodySign, WriteChartTexts, the wheel, the
// analysis.
void ChartFromNumbers(ChartState& state, ChartWheel& wheel);

// The chart of a form as the command and the batch calculate it: checked
// (CheckBirthForm), then calculated, by `precise` when given. nullopt on
// success, else the first message. The state's fixed lists must be filled.
[[nodiscard]] std::optional<std::string> CalculateChartOfForm(const BirthFormData& form, ChartState& state,
                                                              ChartWheel& wheel, const PreciseEngine& precise = {});

// The chart of `birth` in a state whose fixed lists it fills first.
[[nodiscard]] std::optional<std::string> CalculateChartOf(const BirthData& birth, ChartState& state, ChartWheel& wheel,
                                                          const PreciseEngine& precise = {});

}  // namespace qv
