// The precise engine for one chart: ten swe_calc_ut calls from the files, the
// obliquity, the sidereal time and the ascendant, with the honesty checks.
// Compare with bench_versus_swe's BM_EngineLongitudes (the built-in formulas)
// run in the same session.
//
// One moment per iteration, cycling through 4,096 random UT moments of
// 1901–2050 and places within 66° of the equator (fixed seed). With two
// threads the figure shows how the per-thread library state scales.
#include <benchmark/benchmark.h>

#include <random>
#include <variant>
#include <vector>

#include "ephemeris/ephemeris.h"

namespace {

struct Moment {
    double jdUt, lat, lonEast;
};

const std::vector<Moment>& Moments() {
    static const std::vector<Moment> moments = [] {
        std::vector<Moment> m;
        std::mt19937_64 rng(20261207);
        std::uniform_real_distribution<double> jd(2415385.5, 2470172.5), lat(-66.0, 66.0), lon(-180.0, 180.0);
        for (int n = 0; n < 4096; ++n) m.push_back({jd(rng), lat(rng), lon(rng)});
        return m;
    }();
    return moments;
}

void BM_PreciseChart(benchmark::State& st) {
    const auto& moments = Moments();
    std::size_t k = static_cast<std::size_t>(st.thread_index()) * 997;
    for (auto _ : st) {
        const Moment& m = moments[k++ & 4095];
        const auto result = qv::ComputeEphemerisPositions(m.jdUt, m.lat, m.lonEast);
        if (std::holds_alternative<qv::EphemerisFailure>(result)) {
            st.SkipWithError(std::get<qv::EphemerisFailure>(result).message.c_str());
            return;
        }
        benchmark::DoNotOptimize(result);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_PreciseChart)->Threads(1)->Threads(2)->UseRealTime();

}  // namespace
