// One whole calculation after the form's checks have passed.
#pragma once

#include <optional>
#include <string>

#include "app/birth_form.h"
#include "app/birth_values.h"
#include "app/chart_wheel.h"
#include "state/chart_state.h"

namespace qv {

// Copies the form into the state, computes ascendant, Moon, positions,
// retrograde marks, the wheel and the analysis, in that order.
void RunChartCalculation(const BirthFormData& form, ChartState& state, ChartWheel& wheel);

// The chart of `values` as the command calculates it: turned into the form's
// data and checked as the form checks it, then calculated into a state whose
// fixed lists are filled. nullopt on success, else the first message.
std::optional<std::string> CalculateChartOf(const BirthValues& values, ChartState& state, ChartWheel& wheel);

}  // namespace qv
