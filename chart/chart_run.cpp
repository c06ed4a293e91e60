#include "chart/chart_run.h"

#include "analysis/aspects.h"
#include "analysis/elements.h"
#include "astro/ascendant.h"
#include "astro/calendar.h"
#include "astro/moon.h"
#include "astro/positions.h"
#include "astro/universal_time.h"
#include "chart/time_window.h"
#include "retro/retrogrades.h"

namespace qv {

namespace {

void StoreEngineNumbers(const EngineNumbers& numbers, ChartState& state) {
    state.BodyLongitude = numbers.longitude;
    for (std::size_t k = 0; k < state.RetrogradeFlag.size(); ++k)
        state.RetrogradeFlag[k] = k < numbers.retrograde.size() && numbers.retrograde[k];
}

// The longitudes at `input`'s moment with its clock moved by `minutes`, by
// the precise engine when given, else by the formulas; nullopt with the
// engine's message in `refusal` when it has none.
std::optional<std::array<double, 11>> LongitudesMoved(const EngineInput& input, int minutes,
                                                      const PreciseEngine& precise, std::string& refusal) {
    EngineInput moved = input;
    moved.local = ShiftedClock(input.local, minutes);
    if (!precise) return ClassicLongitudes(moved);
    auto given = precise(moved);
    if (auto* refused = std::get_if<std::string>(&given)) {
        refusal = std::move(*refused);
        return std::nullopt;
    }
    return std::get<EngineNumbers>(given).longitude;
}

// What the aspects need beyond the chart's own longitudes: the minute
// after, and for a birth time not known whether the Moon changes sign on the
// birth day.
struct AspectMoments {
    std::array<double, 11> later{};
    bool moonChangesSign = false;
};

// The engine's message when it refuses one of the moments asked.
std::optional<std::string> AskAspectMoments(const BirthData& birth, const EngineInput& input,
                                            const PreciseEngine& precise, AspectMoments& moments) {
    std::string refusal;
    const auto later = LongitudesMoved(input, 1, precise, refusal);
    if (!later) return refusal;
    moments.later = *later;
    if (!birth.timeKnown) {
        const int sinceMidnight = input.local.hour * 60 + input.local.minute;
        const auto dayStart = LongitudesMoved(input, -sinceMidnight, precise, refusal);
        if (!dayStart) return refusal;
        const auto dayEnd = LongitudesMoved(input, 24 * 60 - 1 - sinceMidnight, precise, refusal);
        if (!dayEnd) return refusal;
        moments.moonChangesSign = SignOfLongitude((*dayStart)[kMoonSlot]) != SignOfLongitude((*dayEnd)[kMoonSlot]);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> RunChartCalculation(const BirthData& birth, ChartState& state, ChartWheel& wheel,
                                               const PreciseEngine& precise, bool aspects) {
    const EngineInput input = EngineInputOf(birth);
    EngineNumbers numbers;
    if (precise) {
        auto given = precise(input);
        if (auto* refused = std::get_if<std::string>(&given)) return std::move(*refused);
        numbers = std::get<EngineNumbers>(given);
    } else {
        numbers = ClassicChartNumbers(input);
    }
    // Asked before the state is touched, so that a refusal leaves it whole.
    AspectMoments moments;
    if (aspects)
        if (auto refused = AskAspectMoments(birth, input, precise, moments)) return refused;
    WriteBirthFields(birth, state);
    state.ChartMoment = input;
    StoreEngineNumbers(numbers, state);
    state.PositionSource = precise ? PositionsFrom::Ephemeris : PositionsFrom::Formulas;
    state.Aspects.computed = false;
    if (aspects) {
        FindAspects(state.BodyLongitude, moments.later, state.Aspects);
        if (!birth.timeKnown) MarkAspectsOnTime(moments.moonChangesSign, state.Aspects);
    }
    ChartFromNumbers(state, wheel);
    return std::nullopt;
}

EngineNumbers ClassicChartNumbers(const EngineInput& input) {
    EngineNumbers numbers;
    numbers.longitude = ClassicLongitudes(input);
    numbers.retrograde = RetrogradeFlagsOn(input.local);
    return numbers;
}

std::array<double, 11> ClassicLongitudes(const EngineInput& input) {
    std::array<double, 11> longitude{};
    longitude[kAscendantSlot] = AscendantOf(input);
    longitude[kMoonSlot] = MoonOf(input);
    StorePlanetLongitudes(input, longitude);
    return longitude;
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
