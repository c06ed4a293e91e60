// What the aspects cost a chart:
//   BM_FindAspects             the 55 pairs against the table, from the
//                              longitudes of the chart and of the minute
//                              after (what the calculation adds besides
//                              the engine run for that minute)
//   BM_LaterMinute             the formulas' longitudes for the minute after
//                              (that engine run)
//   BM_Chart/without_aspects   a whole chart as the batch calculates it
//   BM_Chart/with_aspects      the same with its aspects (--aspects)
// All cycle through 4,096 random births (1901–2050, every zone, latitudes
// to 66°).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "analysis/aspects.h"
#include "astro/universal_time.h"
#include "chart/chart_run.h"
#include "chart/time_window.h"

namespace {

const std::vector<qv::BirthData>& Births() {
    static const std::vector<qv::BirthData> births = [] {
        std::mt19937_64 rng(2024);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        std::vector<qv::BirthData> out;
        for (int k = 0; k < 4096; ++k) {
            qv::BirthData b;
            b.name = "Bench";
            b.city = b.state = b.country = "x";
            b.local = {pick(1901, 2050), pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59)};
            b.zoneSlot = pick(0, 70);
            b.daylightSaving = pick(0, 1) == 1;
            b.latitude = {pick(0, 66), pick(0, 59), pick(0, 1) == 1};
            b.longitude = {pick(0, 179), pick(0, 59), pick(0, 1) == 1};
            out.push_back(b);
        }
        return out;
    }();
    return births;
}

// The longitudes of each birth and of its minute after.
struct Pair {
    std::array<double, 11> now, later;
};

const std::vector<Pair>& Pairs() {
    static const std::vector<Pair> pairs = [] {
        std::vector<Pair> out;
        for (const qv::BirthData& b : Births()) {
            qv::EngineInput in = qv::EngineInputOf(b);
            Pair p;
            p.now = qv::ClassicLongitudes(in);
            in.local = qv::ShiftedClock(in.local, 1);
            p.later = qv::ClassicLongitudes(in);
            out.push_back(p);
        }
        return out;
    }();
    return pairs;
}

void BM_FindAspects(benchmark::State& bench) {
    const auto& pairs = Pairs();
    qv::ChartAspects aspects;
    std::size_t k = 0;
    for (auto _ : bench) {
        const Pair& p = pairs[k++ & 4095];
        qv::FindAspects(p.now, p.later, aspects);
        benchmark::DoNotOptimize(aspects);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FindAspects);

void BM_LaterMinute(benchmark::State& bench) {
    std::vector<qv::EngineInput> inputs;
    for (const qv::BirthData& b : Births()) inputs.push_back(qv::EngineInputOf(b));
    std::size_t k = 0;
    for (auto _ : bench) {
        qv::EngineInput in = inputs[k++ & 4095];
        in.local = qv::ShiftedClock(in.local, 1);
        benchmark::DoNotOptimize(qv::ClassicLongitudes(in));
    }
}
BENCHMARK(BM_LaterMinute);

void BM_Chart(benchmark::State& bench, bool aspects) {
    const auto& births = Births();
    qv::ChartState state;
    qv::LoadFixedLists(state);
    qv::ChartWheel wheel;
    std::size_t k = 0;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(qv::RunChartCalculation(births[k++ & 4095], state, wheel, {}, aspects));
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(BM_Chart, without_aspects, false)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Chart, with_aspects, true)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
