// One whole calculation after the form's checks have passed.
#pragma once

#include "app/birth_form.h"
#include "app/chart_wheel.h"
#include "state/chart_state.h"

namespace qv {

// Copies the form into the state, computes ascendant, Moon, positions,
// retrograde marks, the wheel and the analysis, in that order.
void RunChartCalculation(const BirthFormData& form, ChartState& state, ChartWheel& wheel);

}  // namespace qv
