// Cost of the retrograde marks of one chart and of one table look-up.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

#include "retro/retrogrades.h"
#include "retro/stations.h"
#include "state/chart_state.h"
#include "state/fixed_lists.h"

namespace {

using namespace std::chrono;

// One chart per iteration, walking through the supported years so that the
// look-ups land on changing rows; the labels are reset and marked each time.
void BM_MarkRetrogrades(benchmark::State& run) {
    qv::ChartState state;
    local_days day{year{qv::kFirstBirthYear} / 1 / 1};
    const local_days last{year{qv::kLastBirthYear} / 12 / 31};
    for (auto _ : run) {
        const year_month_day ymd{day};
        state.BirthYear = static_cast<std::int16_t>(static_cast<int>(ymd.year()));
        state.BirthMonth = static_cast<std::int16_t>(static_cast<unsigned>(ymd.month()));
        state.BirthDay = static_cast<std::int16_t>(static_cast<unsigned>(ymd.day()));
        state.BirthHour = 14;
        state.BirthMinute = 30;
        qv::MarkRetrogrades(state);
        benchmark::DoNotOptimize(state.BodyLabel);
        day = day < last ? day + days{97} : local_days{year{qv::kFirstBirthYear} / 1 / 1};
    }
}
BENCHMARK(BM_MarkRetrogrades)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_IsRetrogradeMercury(benchmark::State& run) {
    local_time<minutes> birth = local_days{year{qv::kFirstBirthYear} / 1 / 1} + hours{12};
    for (auto _ : run) {
        benchmark::DoNotOptimize(qv::IsRetrograde(birth, qv::StationPlanet::Mercury));
        birth += days{13};
        if (birth > local_days{year{qv::kLastBirthYear} / 12 / 31})
            birth = local_days{year{qv::kFirstBirthYear} / 1 / 1};
    }
}
BENCHMARK(BM_IsRetrogradeMercury)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
