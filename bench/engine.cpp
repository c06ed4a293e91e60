// One whole chart computation: ascendant, Moon and the eleven positions.
#include <benchmark/benchmark.h>

#include "app/birth_form.h"
#include "app/birth_values.h"
#include "astro/ascendant.h"
#include "astro/moon.h"
#include "astro/positions.h"

namespace {

qv::ChartState PreparedState() {
    const qv::BirthValues asha{.name = "Asha", .year = 1975, .month = 6, .day = 15, .hour = 14, .minute = 30,
                               .zoneSlot = 34, .latDegrees = "28", .latMinutes = "37",
                               .latDirection = qv::LatitudeDirection::North, .lonDegrees = "77", .lonMinutes = "13",
                               .lonDirection = qv::LongitudeDirection::East, .city = "New Delhi", .state = "Delhi",
                               .country = "India"};
    qv::BirthFormData form;
    qv::BirthValuesToForm(asha, form);
    qv::ChartState state;
    qv::LoadFixedLists(state);
    qv::CopyFormToState(form, state);
    return state;
}

void BM_WholeChart(benchmark::State& bench) {
    qv::ChartState state = PreparedState();
    for (auto _ : bench) {
        qv::CalculateAscendant(state);
        qv::ComputeMoonPosition(state);
        qv::CalculatePositions(state);
        benchmark::DoNotOptimize(state.PlanetPosition);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WholeChart)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
