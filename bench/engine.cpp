// One whole chart computation: ascendant, Moon and the eleven positions.
#include <benchmark/benchmark.h>

#include "app/birth_form.h"
#include "astro/ascendant.h"
#include "astro/moon.h"
#include "astro/positions.h"

namespace {

qv::ChartState PreparedState() {
    qv::BirthFormData form;
    form.txtName = "Asha";
    form.txtLatD = "28";
    form.txtLatM = "37";
    form.txtLonD = "77";
    form.txtLonM = "13";
    form.txtCity = "New Delhi";
    form.txtState = "Delhi";
    form.txtCountry = "India";
    form.cboMonth = 5;
    form.cboDate = 14;
    form.cboYear = 1975 - 1901;
    form.cboHour = 14;
    form.cboMinute = 30;
    form.cboTimeZone = 34;
    form.optLatSouth = 0;
    form.optLongEast = 0;
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
