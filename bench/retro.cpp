// Cost of the retrograde marks of one chart and of one table look-up.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <chrono>
#include <cstdint>

#include "retro/retrogrades.h"
#include "retro/stations.h"
#include "state/chart_state.h"
#include "state/fixed_lists.h"

namespace {

using namespace std::chrono;

// One chart per iteration, walking through the supported years so that the
// look-ups land on changing rows; the flags are looked up and the labels
// marked each time.
void BM_MarkRetrogrades(benchmark::State& run) {
    qv::ChartState state;
    local_days day{year{qv::kFirstBirthYear} / 1 / 1};
    const local_days last{year{qv::kLastBirthYear} / 12 / 31};
    for (auto _ : run) {
        const year_month_day ymd{day};
        const qv::LocalDateTime local{static_cast<int>(ymd.year()),
                                      static_cast<int>(static_cast<unsigned>(ymd.month())),
                                      static_cast<int>(static_cast<unsigned>(ymd.day())), 14, 30};
        const std::array<bool, 8> flags = qv::RetrogradeFlagsOn(local);
        std::copy(flags.begin(), flags.end(), state.RetrogradeFlag.begin());
        qv::WriteBodyLabels(state);
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
