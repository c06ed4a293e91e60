// quorvane-stations: computes the retrograde periods of Mercury to Pluto from
// the Swiss Ephemeris and writes them as the built-in station table
// (retro/station_table.h). Run it only to regenerate that committed file:
//
//   quorvane-stations [--ephe DIR] OUTPUT      (OUTPUT "-" writes to stdout)
//
// A station is where the geocentric ecliptic longitude (tropical, ecliptic of
// date, with light-time, without aberration and nutation) stops increasing
// (station retrograde) or starts increasing again (station direct). Stations
// are bracketed by the sign of the daily speed and refined by bisection on
// the speed the ephemeris returns, then rounded to the nearest UT minute.
// The output depends only on the library and its data files.

#include <swephexp.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "state/atomic_file.h"

namespace {

using namespace std::chrono;
using Minutes = sys_time<minutes>;

struct Planet {
    const char* name;
    int swissNumber;
    bool keepsPeriodUnderWayAt1900;  // the table's first row may start in 1899
};

constexpr std::array<Planet, 8> kPlanets{{
    {"Mercury", SE_MERCURY, false},
    {"Venus", SE_VENUS, false},
    {"Mars", SE_MARS, false},
    {"Jupiter", SE_JUPITER, false},
    {"Saturn", SE_SATURN, false},
    {"Uranus", SE_URANUS, false},
    {"Neptune", SE_NEPTUNE, false},
    {"Pluto", SE_PLUTO, true},
}};

// Positions as the table wants them; SEFLG_SWIEPH insists on the data files.
constexpr int kFlags = SEFLG_SWIEPH | SEFLG_SPEED | SEFLG_NOABERR | SEFLG_NONUT;

// Julian Date of the Unix epoch, 1970-01-01 00:00 UT (days).
constexpr double kJdUnixEpoch = 2440587.5;

// Scan window (UT dates): wide enough for the 1899 Pluto period and for the
// periods that start in 2050 and end in 2051.
constexpr year_month_day kScanFrom{year{1899}, January, day{1}};
constexpr year_month_day kScanTo{year{2052}, January, day{1}};

// Kept periods: station retrograde on a UT date in these years.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2050;

// Bisection stops below this bracket width (days; about 0.09 s).
constexpr double kRefineTolerance = 1e-6;

// Julian Date (UT, days) of a UT calendar date at 0h.
double JulianDate(year_month_day date) {
    return kJdUnixEpoch + static_cast<double>(sys_days{date}.time_since_epoch().count());
}

// UT moment rounded to the nearest minute, from a Julian Date (UT, days).
Minutes RoundToMinute(double jdUt) { return Minutes{minutes{std::llround((jdUt - kJdUnixEpoch) * 1440.0)}}; }

// Geocentric ecliptic longitude speed (degrees/day) at a Julian Date (UT).
// Throws when the library fails or has not used its data files.
double LongitudeSpeed(const Planet& planet, double jdUt) {
    double xx[6] = {};
    char serr[AS_MAXCH] = "";
    const int got = swe_calc_ut(jdUt, planet.swissNumber, kFlags, xx, serr);
    if (got < 0) {
        throw std::runtime_error(std::string(planet.name) + ": " + serr);
    }
    const int wanted = SEFLG_SWIEPH | SEFLG_SPEED | SEFLG_NOABERR | SEFLG_NONUT;
    if ((got & wanted) != wanted || (got & (SEFLG_MOSEPH | SEFLG_JPLEPH)) != 0) {
        std::ostringstream msg;
        msg << planet.name << ": the ephemeris did not use the Swiss Ephemeris data files"
            << " (asked flags " << kFlags << ", got " << got << ")";
        if (serr[0] != '\0') msg << ": " << serr;
        throw std::runtime_error(msg.str());
    }
    return xx[3];
}

// Root of the longitude speed inside [a, b] (Julian Dates UT), where the
// speed at a is positive and at b is not, or the other way round.
double RefineStation(const Planet& planet, double a, double b) {
    const bool positiveAtA = LongitudeSpeed(planet, a) > 0.0;
    while (b - a > kRefineTolerance) {
        const double mid = 0.5 * (a + b);
        if ((LongitudeSpeed(planet, mid) > 0.0) == positiveAtA) {
            a = mid;
        } else {
            b = mid;
        }
    }
    return 0.5 * (a + b);
}

struct Period {
    Minutes start;  // station retrograde
    Minutes end;    // station direct
};

// Every complete retrograde period whose stations lie in the scan window.
std::vector<Period> FindPeriods(const Planet& planet) {
    std::vector<Period> periods;
    const double from = JulianDate(kScanFrom);
    const double to = JulianDate(kScanTo);
    double previous = from;
    bool previousDirect = LongitudeSpeed(planet, previous) > 0.0;
    bool open = false;
    Minutes openStart{};
    for (double t = from + 1.0; t <= to; t += 1.0) {
        const bool direct = LongitudeSpeed(planet, t) > 0.0;
        if (direct != previousDirect) {
            const Minutes station = RoundToMinute(RefineStation(planet, previous, t));
            if (!direct) {
                open = true;
                openStart = station;
            } else if (open) {
                periods.push_back({openStart, station});
                open = false;
            }
        }
        previous = t;
        previousDirect = direct;
    }
    return periods;
}

// Whether a period belongs in the table.
bool IsKept(const Planet& planet, const Period& period) {
    const int startYear = static_cast<int>(year_month_day{floor<days>(period.start)}.year());
    if (startYear >= kFirstYear && startYear <= kLastYear) return true;
    const Minutes newYear1900 = sys_days{year{kFirstYear} / January / 1};
    return planet.keepsPeriodUnderWayAt1900 && period.start < newYear1900 && period.end > newYear1900;
}

// Row text "month,day,year,hour,minute," without leading zeros (UT).
std::string RowText(Minutes moment) {
    const sys_days date = floor<days>(moment);
    const year_month_day ymd{date};
    const hh_mm_ss<minutes> time{moment - date};
    std::ostringstream out;
    out << static_cast<unsigned>(ymd.month()) << ',' << static_cast<unsigned>(ymd.day()) << ','
        << static_cast<int>(ymd.year()) << ',' << time.hours().count() << ',' << time.minutes().count() << ',';
    return out.str();
}

std::string DateText(Minutes moment) {
    const year_month_day ymd{floor<days>(moment)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    return text;
}

std::string LibraryVersion() {
    char version[AS_MAXCH] = "";
    swe_version(version);
    return version;
}

void WriteTable(std::ostream& out, const std::vector<std::vector<Period>>& tables) {
    out << "// Built-in retrograde station table, Mercury to Pluto.\n"
           "//\n"
           "// GENERATED FILE, do not edit. Made by tools/stations (quorvane-stations)\n"
           "// from the Swiss Ephemeris "
        << LibraryVersion()
        << " and its standard data files (swe-standard-data):\n"
           "//   cmake --build <build dir> --target regenerate-stations\n"
           "// Each row is one retrograde period: the station retrograde (longitude\n"
           "// stops increasing) and the station direct (it starts increasing again),\n"
           "// as \"month,day,year,hour,minute,\" in UT rounded to the nearest minute.\n"
           "// Longitudes are geocentric, tropical, on the ecliptic of date, with\n"
           "// light-time, without aberration and without nutation. Kept: the periods\n"
           "// whose station retrograde falls in 1900 to 2050, and for Pluto also the\n"
           "// period under way on 1 January 1900. The last row of each list is the\n"
           "// spare empty slot.\n"
           "#pragma once\n"
           "\n"
           "#include \"retro/stations.h\"\n"
           "\n"
           "namespace qv::station_rows {\n";
    for (std::size_t p = 0; p < kPlanets.size(); ++p) {
        out << "\ninline constexpr StationRow k" << kPlanets[p].name << "[] = {\n";
        for (const Period& period : tables[p]) {
            out << "    {\"" << RowText(period.start) << "\", \"" << RowText(period.end) << "\"},\n";
        }
        out << "    {\"\", \"\"},\n};\n";
    }
    out << "\n}  // namespace qv::station_rows\n";
}

void PrintSummary(const std::vector<std::vector<Period>>& tables) {
    for (std::size_t p = 0; p < kPlanets.size(); ++p) {
        const auto& periods = tables[p];
        if (periods.empty()) {
            std::cerr << kPlanets[p].name << ": no periods\n";
            continue;
        }
        auto length = [](const Period& x) { return (floor<days>(x.end) - floor<days>(x.start)).count(); };
        const auto [shortest, longest] = std::minmax_element(
            periods.begin(), periods.end(), [&](const Period& x, const Period& y) { return length(x) < length(y); });
        std::cerr << kPlanets[p].name << ": " << periods.size() << " periods, first start "
                  << DateText(periods.front().start) << ", last end " << DateText(periods.back().end) << ", "
                  << length(*shortest) << "-" << length(*longest) << " days\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string epheDir = QV_SWE_EPHE_DIR;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--ephe" && i + 1 < argc) {
            epheDir = argv[++i];
        } else if (output.empty() && (arg == "-" || !arg.starts_with("-"))) {
            output = arg;
        } else {
            output.clear();
            break;
        }
    }
    if (output.empty()) {
        std::cerr << "usage: quorvane-stations [--ephe DIR] OUTPUT   (OUTPUT - for stdout)\n";
        return 2;
    }
    try {
        swe_set_ephe_path(epheDir.c_str());
        std::vector<std::vector<Period>> tables;
        for (const Planet& planet : kPlanets) {
            std::vector<Period> kept;
            for (const Period& period : FindPeriods(planet)) {
                if (IsKept(planet, period)) kept.push_back(period);
            }
            tables.push_back(std::move(kept));
        }
        std::ostringstream text;
        WriteTable(text, tables);
        swe_close();
        if (output == "-") {
            std::cout << text.str();
        } else {
            if (const auto failed = qv::WriteFileAtomically(output, text.str())) throw std::runtime_error(*failed);
        }
        PrintSummary(tables);
    } catch (const std::exception& error) {
        swe_close();
        std::cerr << "quorvane-stations: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
