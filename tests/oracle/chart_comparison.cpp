#include "tests/oracle/chart_comparison.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "state/fixed_lists.h"
#include "state/time_zones.h"
#include "astro/ascendant.h"
#include "astro/moon.h"
#include "astro/positions.h"
#include "astro/text_steps.h"
#include "tests/oracle/literal_engine.h"

namespace qv::oracle {

namespace {

// SplitMix64: a well-mixed 64-bit value for every (seed, index, draw).
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

class Draws {
public:
    Draws(std::uint64_t seed, std::uint64_t index) : state_(Mix(seed) ^ Mix(index * 0xD1B54A32D192ED03ull)) {}
    // Uniform in [0, n).
    int Below(int n) {
        state_ = Mix(state_);
        return static_cast<int>((state_ >> 11) % static_cast<std::uint64_t>(n));
    }

private:
    std::uint64_t state_;
};

int DaysInMonth(int year, int month) {
    using namespace std::chrono;
    return static_cast<int>(static_cast<unsigned>(
        year_month_day_last{std::chrono::year{year}, month_day_last{std::chrono::month{static_cast<unsigned>(month)}}}
            .day()));
}

// Whole number of a zone text from the table ("5", "-10", "-30").
int ZoneNumber(const std::string& text) { return std::stoi(text); }

}  // namespace

Birth RandomBirth(std::uint64_t seed, std::uint64_t index) {
    Draws r(seed, index);
    Birth b;
    b.year = kFirstBirthYear + r.Below(kBirthYearCount);
    b.month = 1 + r.Below(12);
    b.day = 1 + r.Below(DaysInMonth(b.year, b.month));
    b.hour = r.Below(24);
    b.minute = r.Below(60);
    b.zoneSlot = r.Below(kTimeZoneCount);
    b.dst = r.Below(2) == 1;
    if (r.Below(64) == 0) {
        b.latDeg = 90;
    } else {
        b.latDeg = r.Below(90);
        b.latMin = r.Below(60);
    }
    b.south = r.Below(2) == 1;
    if (r.Below(64) == 0) {
        b.lonDeg = 180;
    } else {
        b.lonDeg = r.Below(180);
        b.lonMin = r.Below(60);
    }
    b.east = r.Below(2) == 1;
    return b;
}

std::string Describe(const Birth& b) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d zone %d DST %d %d:%02d%c %d:%02d%c", b.year, b.month,
                  b.day, b.hour, b.minute, b.zoneSlot, b.dst ? 1 : 0, b.latDeg, b.latMin, b.south ? 'S' : 'N',
                  b.lonDeg, b.lonMin, b.east ? 'E' : 'W');
    return buf;
}

ProgramCharts::ProgramCharts() { LoadTimeZones(state_); }

std::pair<int, int> ProgramCharts::ZoneCorrection(int slot) const {
    const auto k = static_cast<std::size_t>(slot);
    return {ZoneNumber(state_.TimeZoneHours[k]), ZoneNumber(state_.TimeZoneMinutes[k])};
}

ChartTexts ProgramCharts::Chart(const Birth& b) {
    ChartState& s = state_;
    s.BirthYear = static_cast<std::int16_t>(b.year);
    s.BirthMonth = static_cast<std::int16_t>(b.month);
    s.BirthDay = static_cast<std::int16_t>(b.day);
    s.BirthHour = static_cast<std::int16_t>(b.hour);
    s.BirthMinute = static_cast<std::int16_t>(b.minute);
    StoreZone(s, b.zoneSlot);
    s.DaylightSaving = b.dst;
    s.LatDegrees = static_cast<std::int16_t>(b.latDeg);
    s.LatMinutes = static_cast<std::int16_t>(b.latMin);
    s.LatSouth = b.south;
    s.LonDegrees = static_cast<std::int16_t>(b.lonDeg);
    s.LonMinutes = static_cast<std::int16_t>(b.lonMin);
    s.LonEast = b.east;

    CalculateAscendant(s);
    ComputeMoonPosition(s);
    CalculatePositions(s);

    ChartTexts out;
    out.ascendant = s.AscendantText;
    out.moon = s.MoonText;
    out.moonSign = s.MoonSignName;
    std::copy_n(s.PlanetPosition.begin(), 11, out.positions.begin());
    out.longitudes = s.BodyLongitude;
    return out;
}

ChartTexts LiteralChart(const Birth& b, std::pair<int, int> zone) {
    using namespace std::chrono;
    const double correction = zone.first + zone.second / 60.0 - (b.dst ? 1.0 : 0.0);
    const double ut = b.hour + b.minute / 60.0 + correction;

    double lonWest = b.lonDeg + b.lonMin / 60.0;
    if (b.east) lonWest = -lonWest;
    double lat = b.latDeg + b.latMin / 60.0;
    if (b.south) lat = -lat;

    ChartTexts out;
    const double asc = AscendantDegrees(b.year, b.month, b.day, ut, lonWest, lat);
    const double moon = MoonLongitude(CenturiesSinceJ2000(JulianDayNumber(b.month, b.day, b.year), ut));
    out.ascendant = FormatLongitude(asc);
    out.moon = FormatLongitude(moon);
    out.moonSign = SignNameOfText(out.moon);

    const sys_time<minutes> local = sys_days{std::chrono::year{b.year} / b.month / b.day} + hours{b.hour} +
                                    minutes{b.minute};
    const sys_time<minutes> moment = local + hours{zone.first} + minutes{zone.second} - hours{b.dst ? 1 : 0};
    const sys_days date = floor<days>(moment);
    const year_month_day ymd{date};
    const hh_mm_ss hms{moment - date};
    const std::array<double, 9> planets = GeocentricLongitudes(
        DaysSinceJ2000(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                       static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(hms.hours().count()),
                       static_cast<int>(hms.minutes().count())));

    // Slots 0 and 2..9 from body indexes 2, 0, 1, 3 … 8.
    constexpr int kSlotBody[10] = {2, -1, 0, 1, 3, 4, 5, 6, 7, 8};
    for (std::size_t slot = 0; slot < 10; ++slot) {
        if (slot == 1) continue;
        out.longitudes[slot] = planets[static_cast<std::size_t>(kSlotBody[slot])];
        out.positions[slot] = FormatPosition(FormatLongitude(out.longitudes[slot]));
    }
    out.longitudes[1] = moon;
    out.positions[1] = FormatPosition(out.moon);
    out.longitudes[10] = asc;
    out.positions[10] = FormatPosition(out.ascendant);
    return out;
}

void Tally::Add(const Tally& other) {
    charts += other.charts;
    if (firstMismatch.empty()) firstMismatch = other.firstMismatch;
    mismatchedCharts += other.mismatchedCharts;
    for (std::size_t k = 0; k < largestDifference.size(); ++k)
        largestDifference[k] = std::max(largestDifference[k], other.largestDifference[k]);
    nearStep += other.nearStep;
    nearestStep = std::min(nearestStep, other.nearestStep);
}

double Tally::LargestDifference() const {
    return *std::max_element(largestDifference.begin(), largestDifference.end());
}

void Compare(const Birth& b, ProgramCharts& program, Tally& tally) {
    const ChartTexts got = program.Chart(b);
    const ChartTexts want = LiteralChart(b, program.ZoneCorrection(b.zoneSlot));
    ++tally.charts;
    for (std::size_t k = 0; k < 11; ++k) {
        const double diff = std::fabs(got.longitudes[k] - want.longitudes[k]);
        // A NaN difference counts as the largest possible.
        tally.largestDifference[k] = std::max(tally.largestDifference[k], diff == diff ? diff : 360.0);
        const double step = ArcsecondStepDistance(want.longitudes[k]);
        tally.nearestStep = std::min(tally.nearestStep, step);
        if (step < kTextStepMargin) ++tally.nearStep;
    }
    const bool same = got.ascendant == want.ascendant && got.moon == want.moon && got.moonSign == want.moonSign &&
                      got.positions == want.positions;
    if (same) return;
    ++tally.mismatchedCharts;
    if (!tally.firstMismatch.empty()) return;
    tally.firstMismatch = Describe(b) + ": program";
    for (const std::string& t : got.positions) tally.firstMismatch += " [" + t + "]";
    tally.firstMismatch += " " + got.ascendant + " / " + got.moon + "; literal";
    for (const std::string& t : want.positions) tally.firstMismatch += " [" + t + "]";
    tally.firstMismatch += " " + want.ascendant + " / " + want.moon;
}

}  // namespace qv::oracle
