// Random birth data over the program's whole range, and one chart computed by
// the program (through its chart state) and by the literal engine, compared
// text by text and longitude by longitude.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/chart_state.h"

namespace qv::oracle {

// Birth data as the birth-data form delivers it.
struct Birth {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
    int zoneSlot = 29;  // 0..70
    bool dst = false;
    int latDeg = 0, latMin = 0;
    bool south = false;
    int lonDeg = 0, lonMin = 0;
    bool east = false;
};

// Birth number `index` of the stream `seed`, the same whatever the order or
// the number of threads: dates 1901–2050, every clock minute, all 71 zones,
// daylight saving on and off, latitudes 0–90° N/S (90° itself one time in
// 64), longitudes 0–180° E/W (180° itself one time in 64).
Birth RandomBirth(std::uint64_t seed, std::uint64_t index);

// "1975-06-15 14:30 zone 34 DST 0 28:37N 77:13E".
std::string Describe(const Birth& b);

// The chart's texts and longitudes, slots 0..10 as PlanetPosition.
struct ChartTexts {
    std::string ascendant, moon, moonSign;
    std::array<std::string, 11> positions;
    std::array<double, 11> longitudes{};
};

// The program's chart: the zone table loaded once, the chart state filled
// from the birth, then the ascendant, the Moon and the position list.
class ProgramCharts {
public:
    ProgramCharts();
    ChartTexts Chart(const Birth& b);
    // The zone's corrections to UT as the table writes them (hours, minutes).
    std::pair<int, int> ZoneCorrection(int slot) const;

private:
    ChartState state_;
};

// The literal engine's chart for a birth, with the zone's corrections: UT is
// the clock time plus the correction, less an hour with daylight saving; the
// planets take that moment with calendar carry, the ascendant and the Moon
// the hours on the civil date.
ChartTexts LiteralChart(const Birth& b, std::pair<int, int> zone);

// Tally of many comparisons.
struct Tally {
    std::uint64_t charts = 0;
    std::uint64_t mismatchedCharts = 0;  // at least one text differs
    std::array<double, 11> largestDifference{};  // |program − literal| per slot, degrees
    std::uint64_t nearStep = 0;  // literal longitudes within kTextStepMargin of an arcsecond step
    double nearestStep = 1.0;    // closest a literal longitude came to a step, degrees
    std::string firstMismatch;   // birth and texts of the first mismatch

    void Add(const Tally& other);
    double LargestDifference() const;
};

// Computes one birth both ways and adds it to the tally.
void Compare(const Birth& b, ProgramCharts& program, Tally& tally);

}  // namespace qv::oracle
