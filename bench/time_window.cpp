// The time window of a chart with the built-in formulas: both edges, every
// body's nearest sign changes either way, by bisection over the engine.
//   BM_TimeWindow/mid_latitudes   4,096 random births within 65° of the
//                                 equator (1901–2050, every zone)
//   BM_TimeWindow/polar           4,096 beyond 65°, where the ascendant is
//                                 scanned in five-minute steps
//   BM_ChartNumbers               one engine call, for scale
// The window's target is at most 50 µs per chart at mid latitudes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "chart/chart_run.h"
#include "chart/time_window.h"
#include "state/fixed_lists.h"
#include "state/time_zones.h"

namespace {

std::vector<qv::EngineInput> Inputs(bool polar) {
    std::mt19937_64 rng(polar ? 66 : 25);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<qv::EngineInput> inputs;
    for (int k = 0; k < 4096; ++k) {
        qv::EngineInput in;
        in.local = {qv::kFirstBirthYear + pick(qv::kBirthYearCount), 1 + pick(12), 1 + pick(28), pick(24), pick(60)};
        in.utcOffsetSeconds = qv::ZoneOffsetSeconds(pick(qv::kTimeZoneCount), pick(4) == 0);
        const double latitude = polar ? 65.0 + pick(25 * 60) / 60.0 : pick(65 * 60) / 60.0;
        in.latitudeNorth = pick(2) ? latitude : -latitude;
        in.longitudeEast = (pick(360 * 60) - 180 * 60) / 60.0;
        inputs.push_back(in);
    }
    return inputs;
}

void BM_TimeWindow(benchmark::State& bench, bool polar) {
    const std::vector<qv::EngineInput> inputs = Inputs(polar);
    std::size_t k = 0;
    for (auto _ : bench) {
        auto window = qv::FindTimeWindow(inputs[k++ % inputs.size()]);
        benchmark::DoNotOptimize(window);
    }
}
BENCHMARK_CAPTURE(BM_TimeWindow, mid_latitudes, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TimeWindow, polar, true)->Unit(benchmark::kMicrosecond);

void BM_ChartNumbers(benchmark::State& bench) {
    const std::vector<qv::EngineInput> inputs = Inputs(false);
    std::size_t k = 0;
    for (auto _ : bench) {
        qv::EngineNumbers numbers = qv::ClassicChartNumbers(inputs[k++ % inputs.size()]);
        benchmark::DoNotOptimize(numbers);
    }
}
BENCHMARK(BM_ChartNumbers)->Unit(benchmark::kMicrosecond);

}  // namespace
