#include "app/chart_run.h"

#include "analysis/elements.h"
#include "astro/ascendant.h"
#include "astro/moon.h"
#include "astro/positions.h"
#include "astro/universal_time.h"
#include "retro/retrogrades.h"

namespace qv {

namespace {

// The precise engine's numbers for the form, worked out on a copy of the
// state so that a refusal leaves the state as it was.
std::variant<EngineNumbers, std::string> PreciseNumbersOf(const BirthFormData& form, const ChartState& state,
                                                          const PreciseEngine& precise) {
    // Kept per thread, so its texts keep their storage from chart to chart.
    thread_local ChartState birth;
    birth = state;
    CopyFormToState(form, birth);
    return precise(EngineInputOf(birth));
}

void StoreEngineNumbers(const EngineNumbers& numbers, ChartState& state) {
    state.BodyLongitude = numbers.longitude;
    for (std::size_t k = 0; k < state.RetrogradeFlag.size(); ++k)
        state.RetrogradeFlag[k] = k < numbers.retrograde.size() && numbers.retrograde[k];
}

}  // namespace

std::optional<std::string> RunChartCalculation(const BirthFormData& form, ChartState& state, ChartWheel& wheel,
                                               const PreciseEngine& precise) {
    if (precise) {
        const auto numbers = PreciseNumbersOf(form, state, precise);
        if (const auto* refused = std::get_if<std::string>(&numbers)) return *refused;
        CopyFormToState(form, state);
        StoreEngineNumbers(std::get<EngineNumbers>(numbers), state);
        state.PositionSource = PositionsFrom::Ephemeris;
    } else {
        CopyFormToState(form, state);
        ClassicChartNumbers(state);
        state.PositionSource = PositionsFrom::Formulas;
    }
    ChartFromNumbers(state, wheel);
    return std::nullopt;
}

EngineInput EngineInputOf(const ChartState& state) {
    return {UniversalMoment(state), LatitudeNorth(state), LongitudeEast(state)};
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

std::optional<std::string> CalculateChartOf(const BirthValues& values, ChartState& state, ChartWheel& wheel,
                                            const PreciseEngine& precise) {
    BirthFormData form;
    if (auto refused = BirthValuesToForm(values, form)) return refused;
    LoadFixedLists(state);
    return RunChartCalculation(form, state, wheel, precise);
}

}  // namespace qv
