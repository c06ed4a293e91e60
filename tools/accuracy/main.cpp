// quorvane-accuracy: how far the chart's longitudes lie from the Swiss
// Ephemeris, over random moments of 1901–2050, printed as Markdown tables.
//
//   quorvane-accuracy [--moments N] [--seed S] [--ephe DIR]
//
// Each moment is a whole UT minute drawn uniformly from 1901-01-01 00:00 to
// 2050-12-31 23:59, with a place drawn uniformly in whole arcminutes between
// latitudes 66°S and 66°N and any longitude. The chart is calculated exactly
// as the program does it (Greenwich zone, no daylight saving, so the local
// time is UT) and its eleven longitudes are compared with the ephemeris in
// two frames:
//  - as shown: apparent tropical longitudes of the true equinox and ecliptic
//    of date, and the ascendant with true obliquity and apparent sidereal
//    time (the Swiss Ephemeris' defaults; what a chart is meant to show);
//  - the engine's own frame: the Sun and the planets geometric, the Moon
//    and the ascendant apparent, all on the mean equinox of date (no
//    nutation).
// The ephemeris must answer from its own files (SEFLG_SWIEPH); the run stops
// when it falls back to another source.
//
// "As shown" is the precise engine (ephemeris/), which is what the chart shows
// in precise mode. The precise engine itself is then compared with a second,
// independent computation: the library's analytical ephemeris (Moshier's
// theory, SEFLG_MOSEPH), which uses no files, and the library's house code
// for the ascendant. Those errors are given in arcseconds.

#include <swephexp.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/elements.h"
#include "chart/chart_run.h"
#include "chart/chart_wheel.h"
#include "ephemeris/ephemeris.h"

namespace {

using namespace std::chrono;
using Minutes = sys_time<minutes>;

constexpr int kBodies = 11;  // chart slots: Sun, Moon, Mercury … Pluto, Asc
constexpr std::array<const char*, kBodies> kNames = {"Sun",    "Moon",   "Mercury", "Venus", "Mars",     "Jupiter",
                                                     "Saturn", "Uranus", "Neptune", "Pluto", "Ascendant"};
constexpr int kGreenwichSlot = 29;  // "Greenwich Mean Time,GMT,0.0"
constexpr double kMaxLatitude = 66.0;

struct Moment {
    int year, month, day, hour, minute;
    int latMinutes;  // arcminutes, north positive
    int lonMinutes;  // arcminutes, east positive
};

// Signed difference a − b of two longitudes, in (−180, 180]. Degrees.
double AngleDifference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

// Sign 0..11 of a longitude in degrees.
int SignOf(double lon) {
    const int s = static_cast<int>(std::floor(lon / 30.0)) % 12;
    return s < 0 ? s + 12 : s;
}

// The chart's eleven longitudes, calculated as the program calculates them.
std::array<double, kBodies> ChartLongitudes(const Moment& m, qv::ChartState& state) {
    const qv::BirthData birth{.name = "x",
                              .local = {m.year, m.month, m.day, m.hour, m.minute},
                              .zoneSlot = kGreenwichSlot,
                              .latitude = qv::CoordinateFromArcMinutes(m.latMinutes),
                              .longitude = qv::CoordinateFromArcMinutes(m.lonMinutes),
                              .city = "x",
                              .state = "x",
                              .country = "x"};
    qv::ChartWheel wheel;
    if (const auto refused = qv::CalculateChartOf(birth, state, wheel)) {
        std::fprintf(stderr, "internal error: %s\n", refused->c_str());
        std::exit(1);
    }
    std::array<double, kBodies> lon{};
    for (int k = 0; k < kBodies; ++k) lon[k] = state.BodyLongitude[k];
    return lon;
}

// The ephemeris' eleven longitudes with the given flags for the bodies and
// for the ascendant.
std::array<double, kBodies> EphemerisLongitudes(const Moment& m, int bodyFlags, int houseFlags) {
    const double jd = swe_julday(m.year, m.month, m.day, m.hour + m.minute / 60.0, SE_GREG_CAL);
    std::array<double, kBodies> lon{};
    char error[AS_MAXCH] = {};
    for (int body = SE_SUN; body <= SE_PLUTO; ++body) {
        double xx[6] = {};
        const int got = swe_calc_ut(jd, body, bodyFlags, xx, error);
        if (got < 0 || (got & SEFLG_SWIEPH) == 0) {
            std::fprintf(stderr, "The Swiss Ephemeris did not answer from its files (flags %d): %s\n", got, error);
            std::exit(1);
        }
        lon[body] = xx[0];
    }
    double cusps[13] = {};
    double ascmc[10] = {};
    if (swe_houses_ex(jd, houseFlags, m.latMinutes / 60.0, m.lonMinutes / 60.0, 'E', cusps, ascmc) < 0) {
        std::fprintf(stderr, "The Swiss Ephemeris could not compute the ascendant\n");
        std::exit(1);
    }
    lon[10] = ascmc[0];
    return lon;
}

// Which elements, qualities and house types hold a body, from the signs.
std::array<bool, 10> Analysis(const std::array<double, kBodies>& lon) {
    std::array<bool, 10> held{};
    const int ascSign = SignOf(lon[10]);
    for (int body = 0; body < 10; ++body) {
        const int sign = SignOf(lon[body]);
        held[static_cast<int>(qv::ElementOfSign(sign))] = true;
        held[4 + static_cast<int>(qv::QualityOfSign(sign))] = true;
        held[7 + static_cast<int>(qv::HouseTypeOfHouse(qv::WholeSignHouse(sign, ascSign)))] = true;
    }
    return held;
}

struct Errors {
    std::array<std::vector<double>, kBodies> arcmin;
    void Add(const std::array<double, kBodies>& ours, const std::array<double, kBodies>& theirs) {
        for (int k = 0; k < kBodies; ++k) arcmin[k].push_back(std::fabs(AngleDifference(ours[k], theirs[k])) * 60.0);
    }
};

double Quantile(std::vector<double> v, double q) {
    const auto n = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n), v.end());
    return v[n];
}

void PrintTable(const char* title, const Errors& errors, bool arcseconds = false) {
    const char* unit = arcseconds ? "″" : "′";
    const double scale = arcseconds ? 60.0 : 1.0;
    std::printf("\n%s\n\n", title);
    std::printf("| Body | Median error (%s) | 95th percentile (%s) | 99th percentile (%s) | Maximum error (%s) |\n",
                unit, unit, unit, unit);
    std::printf("|---|---:|---:|---:|---:|\n");
    for (int k = 0; k < kBodies; ++k) {
        const auto& v = errors.arcmin[k];
        std::printf("| %s | %.2f | %.2f | %.2f | %.2f |\n", kNames[k], scale * Quantile(v, 0.5),
                    scale * Quantile(v, 0.95), scale * Quantile(v, 0.99),
                    scale * *std::max_element(v.begin(), v.end()));
    }
}

double JulianDay(const Moment& m) { return swe_julday(m.year, m.month, m.day, m.hour + m.minute / 60.0, SE_GREG_CAL); }

// The precise engine's eleven longitudes, as precise mode shows them.
std::array<double, kBodies> PreciseLongitudes(const Moment& m, const std::string& ephe) {
    const auto result = qv::ComputeEphemerisPositions(JulianDay(m), m.latMinutes / 60.0, m.lonMinutes / 60.0, ephe);
    if (const auto* failure = std::get_if<qv::EphemerisFailure>(&result)) {
        std::fprintf(stderr, "%s\n", failure->message.c_str());
        std::exit(1);
    }
    return std::get<qv::EphemerisPositions>(result).longitude;
}

// The same apparent longitudes from the library's analytical ephemeris, which
// reads no files, and the ascendant from the library's house code.
std::array<double, kBodies> AnalyticalLongitudes(const Moment& m) {
    const double jd = JulianDay(m);
    std::array<double, kBodies> lon{};
    char error[AS_MAXCH] = {};
    for (int body = SE_SUN; body <= SE_PLUTO; ++body) {
        double xx[6] = {};
        const int got = swe_calc_ut(jd, body, SEFLG_MOSEPH, xx, error);
        if (got < 0 || (got & SEFLG_MOSEPH) == 0) {
            std::fprintf(stderr, "The analytical ephemeris did not answer (flags %d): %s\n", got, error);
            std::exit(1);
        }
        lon[body] = xx[0];
    }
    double cusps[13] = {};
    double ascmc[10] = {};
    if (swe_houses_ex(jd, SEFLG_MOSEPH, m.latMinutes / 60.0, m.lonMinutes / 60.0, 'E', cusps, ascmc) < 0) {
        std::fprintf(stderr, "The Swiss Ephemeris could not compute the ascendant\n");
        std::exit(1);
    }
    lon[10] = ascmc[0];
    return lon;
}

// The precise engine against the analytical ephemeris: errors, and the charts
// whose signs or analysis differ.
struct PreciseCheck {
    static constexpr double kCuspMargin = 0.5 / 60.0;  // degrees
    Errors errors;
    std::array<long, kBodies> signDiffers{};
    long anySignDiffers = 0, analysisDiffers = 0, differsAwayFromCusp = 0;

    void Add(const std::array<double, kBodies>& precise, const std::array<double, kBodies>& analytical) {
        errors.Add(precise, analytical);
        bool any = false;
        for (int k = 0; k < kBodies; ++k) {
            if (SignOf(precise[k]) == SignOf(analytical[k])) continue;
            ++signDiffers[k];
            any = true;
            const double fromCusp = std::fmod(precise[k], 30.0);
            differsAwayFromCusp += std::min(fromCusp, 30.0 - fromCusp) > kCuspMargin;
        }
        anySignDiffers += any;
        analysisDiffers += Analysis(precise) != Analysis(analytical);
    }

    void Print(long moments) const {
        PrintTable("The precise engine against the analytical ephemeris (apparent, true equinox and ecliptic of date):",
                   errors, true);
        std::printf(
            "\nShare of charts in which the precise engine and the analytical ephemeris show another sign:\n\n");
        std::printf("| Body | Charts with another sign |\n|---|---:|\n");
        const auto share = [moments](long n) { return 100.0 * static_cast<double>(n) / static_cast<double>(moments); };
        for (int k = 0; k < kBodies; ++k) std::printf("| %s | %.3f %% |\n", kNames[k], share(signDiffers[k]));
        std::printf("| any of the eleven | %.3f %% |\n", share(anySignDiffers));
        std::printf("| the analysis (elements, qualities, house types) | %.3f %% |\n", share(analysisDiffers));
        std::printf("\nSigns that differ with the body more than 0.5′ from a cusp: %ld\n", differsAwayFromCusp);
    }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace std::chrono;
    long moments = 20000;
    unsigned long seed = 20261207;
    std::string ephe = QV_SWE_EPHE_DIR;
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (k + 1 < argc && arg == "--moments")
            moments = std::strtol(argv[++k], nullptr, 10);
        else if (k + 1 < argc && arg == "--seed")
            seed = std::strtoul(argv[++k], nullptr, 10);
        else if (k + 1 < argc && arg == "--ephe")
            ephe = argv[++k];
        else {
            std::fprintf(stderr, "usage: quorvane-accuracy [--moments N] [--seed S] [--ephe DIR]\n");
            return 2;
        }
    }
    if (moments < 1) {
        std::fprintf(stderr, "--moments must be at least 1\n");
        return 2;
    }
    swe_set_ephe_path(ephe.c_str());

    const Minutes first = sys_days{year{qv::kFirstBirthYear} / January / 1};
    const Minutes last = sys_days{year{qv::kLastBirthYear} / December / 31} + hours{23} + minutes{59};
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<long> when(0, (last - first).count());
    std::uniform_int_distribution<int> lat(static_cast<int>(-kMaxLatitude * 60), static_cast<int>(kMaxLatitude * 60));
    std::uniform_int_distribution<int> lon(-180 * 60 + 1, 180 * 60 - 1);

    qv::ChartState state;
    Errors shown, own;
    PreciseCheck precise;
    std::array<long, kBodies> signDiffers{};
    long anySignDiffers = 0, analysisDiffers = 0;
    // Charts and charts with another sign, by quarter century of birth.
    constexpr int kPeriods = (qv::kLastBirthYear - qv::kFirstBirthYear + 25) / 25;
    std::array<long, kPeriods> periodCharts{}, periodDiffers{};
    constexpr int kOwnBodies = SEFLG_SWIEPH | SEFLG_TRUEPOS | SEFLG_NONUT;
    constexpr int kOwnMoon = SEFLG_SWIEPH | SEFLG_NONUT;
    for (long n = 0; n < moments; ++n) {
        const Minutes t = first + minutes{when(rng)};
        const sys_days day = floor<days>(t);
        const year_month_day ymd{day};
        const hh_mm_ss hms{t - day};
        const Moment m{static_cast<int>(ymd.year()),
                       static_cast<int>(static_cast<unsigned>(ymd.month())),
                       static_cast<int>(static_cast<unsigned>(ymd.day())),
                       static_cast<int>(hms.hours().count()),
                       static_cast<int>(hms.minutes().count()),
                       lat(rng),
                       lon(rng)};

        const auto ours = ChartLongitudes(m, state);
        const auto apparent = PreciseLongitudes(m, ephe);
        shown.Add(ours, apparent);
        precise.Add(apparent, AnalyticalLongitudes(m));

        auto frame = EphemerisLongitudes(m, kOwnBodies, kOwnMoon);
        const auto moonOfDate = EphemerisLongitudes(m, kOwnMoon, kOwnMoon);
        frame[1] = moonOfDate[1];
        own.Add(ours, frame);

        bool any = false;
        for (int k = 0; k < kBodies; ++k)
            if (SignOf(ours[k]) != SignOf(apparent[k])) {
                ++signDiffers[k];
                any = true;
            }
        anySignDiffers += any;
        analysisDiffers += Analysis(ours) != Analysis(apparent);
        const auto period = static_cast<std::size_t>((m.year - qv::kFirstBirthYear) / 25);
        ++periodCharts[period];
        periodDiffers[period] += any;
    }

    char version[AS_MAXCH] = {};
    swe_version(version);
    std::printf("%ld moments, seed %lu, Swiss Ephemeris %s (files in %s).\n", moments, seed, version, ephe.c_str());
    PrintTable("Against the precise engine, the longitudes as shown (apparent, true equinox and ecliptic of date):",
               shown);
    PrintTable("Against the engine's own frame (planets geometric, Moon and ascendant apparent, mean equinox of date):",
               own);
    std::printf("\nShare of charts in which the sign differs from the one shown by the ephemeris:\n\n");
    std::printf("| Body | Charts with another sign |\n|---|---:|\n");
    for (int k = 0; k < kBodies; ++k)
        std::printf("| %s | %.2f %% |\n", kNames[k], 100.0 * static_cast<double>(signDiffers[k]) / moments);
    std::printf("| any of the eleven | %.2f %% |\n", 100.0 * static_cast<double>(anySignDiffers) / moments);
    std::printf("| the analysis (elements, qualities, house types) | %.2f %% |\n",
                100.0 * static_cast<double>(analysisDiffers) / moments);
    std::printf("\nShare of charts with any of the eleven in another sign, by years of birth:\n\n");
    std::printf("| Years | Charts | With another sign |\n|---|---:|---:|\n");
    for (int k = 0; k < kPeriods; ++k) {
        const int from = qv::kFirstBirthYear + 25 * k;
        std::printf("| %d–%d | %ld | %.2f %% |\n", from, std::min(from + 24, qv::kLastBirthYear), periodCharts[k],
                    100.0 * static_cast<double>(periodDiffers[k]) / static_cast<double>(std::max(1L, periodCharts[k])));
    }
    precise.Print(moments);
    swe_close();
    return 0;
}
