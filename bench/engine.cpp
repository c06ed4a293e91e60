// The astronomical engine, the program's fast one (its vector path, and its
// scalar path for CPUs without AVX2) beside the literal one (the tests'
// judge) in the same run:
//   BM_WholeChart                         ascendant, Moon and the eleven
//                                         position texts through the chart
//                                         state, one person
//   BM_Longitudes/vector|scalar|literal   all eleven longitudes, no texts
//   BM_Planets/…                          the nine geocentric longitudes
//   BM_Moon/…                             the Moon
//   BM_Ascendant/…                        the ascendant
// The longitude benchmarks cycle through 4,096 random births (1901–2050,
// every zone and place) so that branches and Kepler steps vary as in use.
#include <benchmark/benchmark.h>

#include <vector>

#include "astro/ascendant.h"
#include "astro/calendar.h"
#include "astro/moon.h"
#include "astro/planets.h"
#include "astro/positions.h"
#include "astro/universal_time.h"
#include "astro/vector_math.h"
#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "tests/oracle/chart_comparison.h"
#include "tests/oracle/literal_engine.h"

namespace {

qv::EngineInput PreparedInput() {
    const qv::BirthData asha{.name = "Asha",
                             .local = {1975, 6, 15, 14, 30},
                             .zoneSlot = 34,
                             .latitude = {28, 37},
                             .longitude = {77, 13},
                             .city = "New Delhi",
                             .state = "Delhi",
                             .country = "India"};
    return qv::EngineInputOf(asha);
}

void BM_WholeChart(benchmark::State& bench) {
    const qv::EngineInput input = PreparedInput();
    for (auto _ : bench) {
        qv::EngineNumbers numbers = qv::ClassicChartNumbers(input);
        benchmark::DoNotOptimize(numbers);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WholeChart)->Repetitions(10)->ReportAggregatesOnly(true);

// The inputs of the three computations for one random birth.
struct Moment {
    int year, month, day;
    double utHours, lonWest, lat;
    double daysSinceJ2000, centuriesSinceJ2000;
};

const std::vector<Moment>& Moments() {
    static const std::vector<Moment> moments = [] {
        std::vector<Moment> out;
        for (std::uint64_t k = 0; k < 4096; ++k) {
            const qv::oracle::Birth b = qv::oracle::RandomBirth(2024, k);
            Moment m{b.year, b.month, b.day, b.hour + b.minute / 60.0, 0, 0, 0, 0};
            m.lonWest = (b.east ? -1 : 1) * (b.lonDeg + b.lonMin / 60.0);
            m.lat = (b.south ? -1 : 1) * (b.latDeg + b.latMin / 60.0);
            m.daysSinceJ2000 = qv::DaysSinceJ2000(b.year, b.month, b.day, b.hour, b.minute);
            m.centuriesSinceJ2000 = qv::CenturiesSinceJ2000(qv::JulianDayNumber(b.month, b.day, b.year), m.utHours);
            out.push_back(m);
        }
        return out;
    }();
    return moments;
}

// The program's engine on the path the CPU allows (vector where it has AVX2).
struct Fast {
    static constexpr bool kVector = true;
    static auto Planets(double d) { return qv::GeocentricLongitudes(d); }
    static double Moon(double T) { return qv::MoonLongitude(T); }
    static double Ascendant(const Moment& m) {
        return qv::AscendantDegrees(m.year, m.month, m.day, m.utHours, m.lonWest, m.lat);
    }
};

// The same engine held to its scalar path.
struct Scalar : Fast {
    static constexpr bool kVector = false;
};

struct Literal {
    static constexpr bool kVector = true;
    static auto Planets(double d) { return qv::oracle::GeocentricLongitudes(d); }
    static double Moon(double T) { return qv::oracle::MoonLongitude(T); }
    static double Ascendant(const Moment& m) {
        return qv::oracle::AscendantDegrees(m.year, m.month, m.day, m.utHours, m.lonWest, m.lat);
    }
};

// Holds the engine to its scalar path for one benchmark when asked.
template <class Engine>
struct PathFor {
    PathFor() { qv::SetVectorMath(Engine::kVector); }
    ~PathFor() { qv::SetVectorMath(true); }
};

template <class Engine>
void BM_Longitudes(benchmark::State& bench) {
    const PathFor<Engine> path;
    const auto& moments = Moments();
    std::size_t k = 0;
    for (auto _ : bench) {
        const Moment& m = moments[k++ & 4095];
        benchmark::DoNotOptimize(Engine::Planets(m.daysSinceJ2000));
        benchmark::DoNotOptimize(Engine::Moon(m.centuriesSinceJ2000));
        benchmark::DoNotOptimize(Engine::Ascendant(m));
    }
}

template <class Engine>
void BM_Planets(benchmark::State& bench) {
    const PathFor<Engine> path;
    const auto& moments = Moments();
    std::size_t k = 0;
    for (auto _ : bench) benchmark::DoNotOptimize(Engine::Planets(moments[k++ & 4095].daysSinceJ2000));
}

template <class Engine>
void BM_Moon(benchmark::State& bench) {
    const PathFor<Engine> path;
    const auto& moments = Moments();
    std::size_t k = 0;
    for (auto _ : bench) benchmark::DoNotOptimize(Engine::Moon(moments[k++ & 4095].centuriesSinceJ2000));
}

template <class Engine>
void BM_Ascendant(benchmark::State& bench) {
    const PathFor<Engine> path;
    const auto& moments = Moments();
    std::size_t k = 0;
    for (auto _ : bench) benchmark::DoNotOptimize(Engine::Ascendant(moments[k++ & 4095]));
}

#define QV_ENGINE_BENCHMARKS(bm)                \
    BENCHMARK(bm<Fast>)->Name(#bm "/vector");   \
    BENCHMARK(bm<Scalar>)->Name(#bm "/scalar"); \
    BENCHMARK(bm<Literal>)->Name(#bm "/literal")
QV_ENGINE_BENCHMARKS(BM_Longitudes);
QV_ENGINE_BENCHMARKS(BM_Planets);
QV_ENGINE_BENCHMARKS(BM_Moon);
QV_ENGINE_BENCHMARKS(BM_Ascendant);

}  // namespace
