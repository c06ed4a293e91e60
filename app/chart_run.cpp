#include "app/chart_run.h"

#include "analysis/elements.h"
#include "astro/ascendant.h"
#include "astro/calendar.h"
#include "astro/moon.h"
#include "astro/positions.h"
#include "astro/universal_time.h"
#include "retro/retrogrades.h"

namespace qv {

namespace {

void StoreEngineNumbers(const EngineNumbers& numbers, ChartState& state) {
    state.BodyLongitude = numbers.longitude;
    for (std::size_t k = 0; k < state.RetrogradeFlag.size(); ++k)
        state.RetrogradeFlag[k] = k < numbers.retrograde.size() && numbers.retrograde[k];
}

}  // namespace

std::optional<std::string> RunChartCalculation(const BirthData& birth, ChartState& state, ChartWheel& wheel,
                                               const PreciseEngine& precise) {
    const EngineInput input = EngineInputOf(birth);
    EngineNumbers numbers;
    if (precise) {
        auto given = precise(input);
        if (auto* refused = std::get_if<std::string>(&given)) return std::move(*refused);
        numbers = std::get<EngineNumbers>(given);
    } else {
        numbers = ClassicChartNumbers(input);
    }
    WriteBirthFields(birth, state);
    state.ChartMoment = input;
    StoreEngineNumbers(numbers, state);
    state.PositionSource = precise ? PositionsFrom::Ephemeris : PositionsFrom::Formulas;
    ChartFromNumbers(state, wheel);
    return std::nullopt;
}

EngineNumbers ClassicChartNumbers(const EngineInput& input) {
    EngineNumbers numbers;
    numbers.longitude[kAscendantSlot] = AscendantOf(input);
    numbers.longitude[kMoonSlot] = MoonOf(input);
    StorePlanetLongitudes(input, numbers.longitude);
    numbers.retrograde = RetrogradeFlagsOn(input.local);
    return numbers;
}

void WriteChartTexts(ChartState& state) {
    WriteAscendantText(state);
    WriteMoonTexts(state);
    WritePositionTexts(state);
    WriteBodyLabels(state);
}

void ChartFromNumbers(ChartState& state, ChartWheel& wheel) {
    for (std::size_t slot = 0; slot < state.BodySign.size(); ++slot)
        state.BodySign[slot] = static_cast<std::int8_t>(SignOfLongitude(state.BodyLongitude[slot]));
    WriteChartTexts(state);
    FillChartWheel(state, wheel);
    AnalyseElementsQualityHouse(state);
}

std::optional<std::string> CalculateChartOfForm(const BirthFormData& form, ChartState& state, ChartWheel& wheel,
                                                const PreciseEngine& precise) {
    BirthData birth;
    if (auto failure = CheckBirthForm(form, birth)) return std::move(failure->message);
    return RunChartCalculation(birth, state, wheel, precise);
}

std::optional<std::string> CalculateChartOf(const BirthData& birth, ChartState& state, ChartWheel& wheel,
                                            const PreciseEngine& precise) {
    LoadFixedLists(state);
    return RunChartCalculation(birth, state, wheel, precise);
}

}  // namespace qv
