#include "app/chart_run.h"

#include "analysis/elements.h"
#include "astro/ascendant.h"
#include "astro/moon.h"
#include "astro/positions.h"
#include "retro/retrogrades.h"

namespace qv {

void RunChartCalculation(const BirthFormData& form, ChartState& state, ChartWheel& wheel) {
    CopyFormToState(form, state);
    ClassicChartNumbers(state);
    ChartFromNumbers(state, wheel);
}

void ClassicChartNumbers(ChartState& state) {
    state.BodyLongitude[kAscendantSlot] = AscendantOfChart(state);
    state.BodyLongitude[kMoonSlot] = MoonOfChart(state);
    StorePlanetLongitudes(state);
    StoreRetrogradeFlags(state);
}

void WriteChartTexts(ChartState& state) {
    WriteAscendantText(state);
    WriteMoonTexts(state);
    WritePositionTexts(state);
    WriteBodyLabels(state);
}

void ChartFromNumbers(ChartState& state, ChartWheel& wheel) {
    WriteChartTexts(state);
    FillChartWheel(state, wheel);
    AnalyseElementsQualityHouse(state);
}

std::optional<std::string> CalculateChartOf(const BirthValues& values, ChartState& state, ChartWheel& wheel) {
    BirthFormData form;
    if (auto refused = BirthValuesToForm(values, form)) return refused;
    LoadFixedLists(state);
    RunChartCalculation(form, state, wheel);
    return std::nullopt;
}

}  // namespace qv
