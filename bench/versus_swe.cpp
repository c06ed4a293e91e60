// The chart's positions and the Swiss Ephemeris side by side, on the same
// moments: the engine's ten bodies and ascendant against swe_calc_ut for the
// Sun to Pluto and swe_houses for the ascendant.
//
// Each benchmark computes one moment per iteration, cycling through the same
// 4,096 moments (whole UT minutes of 1901–2050, places within 66° of the
// equator, fixed seed). The ratio of the times per iteration is the ratio of
// the two computations:
//   BM_EngineLongitudes   the eleven longitudes from the engine's formulas
//   BM_EngineChart        the whole chart: form copy, texts, retrograde marks,
//                         wheel and analysis
//   BM_SwissEphemeris     swe_calc_ut × 10 and swe_houses, from the files
//                         (SEFLG_SWIEPH), the library's own cache warm
//   BM_SwissMoshier       the same from the library's built-in analytical
//                         ephemeris (SEFLG_MOSEPH), no files
#include <benchmark/benchmark.h>
#include <swephexp.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "astro/ascendant.h"
#include "astro/calendar.h"
#include "astro/moon.h"
#include "astro/planets.h"
#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "chart/chart_wheel.h"

namespace {

using namespace std::chrono;

struct Moment {
    int year, month, day, hour, minute;
    double lat, lonEast;  // degrees
    double jdUt;
    qv::BirthData birth;  // the same moment as birth data (Greenwich zone)
};

std::vector<Moment> MakeMoments() {
    std::vector<Moment> moments;
    std::mt19937_64 rng(20261207);
    const sys_time<minutes> first = sys_days{year{qv::kFirstBirthYear} / January / 1};
    const sys_time<minutes> last = sys_days{year{qv::kLastBirthYear} / December / 31} + hours{23} + minutes{59};
    std::uniform_int_distribution<long> when(0, (last - first).count());
    std::uniform_int_distribution<int> lat(-66 * 60, 66 * 60), lon(-180 * 60 + 1, 180 * 60 - 1);
    for (int n = 0; n < 4096; ++n) {
        const sys_time<minutes> t = first + minutes{when(rng)};
        const sys_days day = floor<days>(t);
        const year_month_day ymd{day};
        const hh_mm_ss hms{t - day};
        Moment m;
        m.year = static_cast<int>(ymd.year());
        m.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
        m.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
        m.hour = static_cast<int>(hms.hours().count());
        m.minute = static_cast<int>(hms.minutes().count());
        const int latMin = lat(rng), lonMin = lon(rng);
        m.lat = latMin / 60.0;
        m.lonEast = lonMin / 60.0;
        m.jdUt = swe_julday(m.year, m.month, m.day, m.hour + m.minute / 60.0, SE_GREG_CAL);
        // Greenwich Mean Time: the local time is UT.
        m.birth = {.name = "x",
                   .local = {m.year, m.month, m.day, m.hour, m.minute},
                   .zoneSlot = 29,
                   .latitude = qv::CoordinateFromArcMinutes(latMin),
                   .longitude = qv::CoordinateFromArcMinutes(lonMin),
                   .city = "x",
                   .state = "x",
                   .country = "x"};
        moments.push_back(m);
    }
    return moments;
}

const std::vector<Moment>& Moments() {
    static const std::vector<Moment> moments = MakeMoments();
    return moments;
}

void BM_EngineLongitudes(benchmark::State& st) {
    const auto& moments = Moments();
    std::size_t k = 0;
    for (auto _ : st) {
        const Moment& m = moments[k++ & 4095];
        const double ut = m.hour + m.minute / 60.0;
        const auto planets = qv::GeocentricLongitudes(qv::DaysSinceJ2000(m.year, m.month, m.day, m.hour, m.minute));
        const double moon = qv::MoonLongitude(qv::CenturiesSinceJ2000(qv::JulianDayNumber(m.month, m.day, m.year), ut));
        const double asc = qv::AscendantDegrees(m.year, m.month, m.day, ut, -m.lonEast, m.lat);
        benchmark::DoNotOptimize(planets);
        benchmark::DoNotOptimize(moon);
        benchmark::DoNotOptimize(asc);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_EngineLongitudes);

void BM_EngineChart(benchmark::State& st) {
    const auto& moments = Moments();
    qv::ChartState state;
    qv::LoadFixedLists(state);
    qv::ChartWheel wheel;
    std::size_t k = 0;
    for (auto _ : st) {
        // The chart as before its aspects, which are one more engine run.
        benchmark::DoNotOptimize(qv::RunChartCalculation(moments[k++ & 4095].birth, state, wheel, {}, false));
        benchmark::DoNotOptimize(state.BodyLongitude);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_EngineChart);

void SwissEphemeris(benchmark::State& st, int flags) {
    swe_set_ephe_path(QV_SWE_EPHE_DIR);
    const auto& moments = Moments();
    char error[AS_MAXCH] = {};
    std::size_t k = 0;
    for (auto _ : st) {
        const Moment& m = moments[k++ & 4095];
        std::array<double, 11> lon{};
        for (int body = SE_SUN; body <= SE_PLUTO; ++body) {
            double xx[6];
            const int got = swe_calc_ut(m.jdUt, body, flags, xx, error);
            if (got < 0 || (got & flags) == 0) {
                st.SkipWithError("the Swiss Ephemeris did not answer from the asked source");
                return;
            }
            lon[static_cast<std::size_t>(body)] = xx[0];
        }
        double cusps[13], ascmc[10];
        swe_houses(m.jdUt, m.lat, m.lonEast, 'E', cusps, ascmc);
        lon[10] = ascmc[0];
        benchmark::DoNotOptimize(lon);
    }
    st.SetItemsProcessed(st.iterations());
}

void BM_SwissEphemeris(benchmark::State& st) { SwissEphemeris(st, SEFLG_SWIEPH); }
BENCHMARK(BM_SwissEphemeris);

void BM_SwissMoshier(benchmark::State& st) { SwissEphemeris(st, SEFLG_MOSEPH); }
BENCHMARK(BM_SwissMoshier);

}  // namespace
