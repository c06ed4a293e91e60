// Random birth data over the program's whole range, and one chart computed by
// the program (its whole road, through the chart state) and by the literal
// engine with the literal labels, wheel and analysis, compared text by text,
// list by list and longitude by longitude; the program's JSON line is
// compared byte for byte with the JSON library's line of the same chart.
#pragma once

#include <chrono>

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "chart/birth_form.h"
#include "chart/chart_wheel.h"
#include "formats/chart_json.h"
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

// The birth-data form holding a birth, with a person and place of its own.
BirthFormData FormOf(const Birth& b);

// "1975-06-15 14:30 zone 34 DST 0 28:37N 77:13E".
std::string Describe(const Birth& b);

// A chart: its state and its wheel.
struct Chart {
    ChartState state;
    ChartWheel wheel;
    std::chrono::sys_time<std::chrono::minutes> universal{};  // the chart's Universal Time
};

// The program's charts, one state and wheel reused from chart to chart as
// the batch reuses them: the birth through the form and the whole road.
class ProgramCharts {
public:
    ProgramCharts();
    const Chart& Calculate(const Birth& b);
    // The JSON line of the last chart as the batch writes it, row 1.
    const std::string& Line();

private:
    Chart chart_;
    ChartJsonLineWriter writer_;
    std::string line_;
};

// The literal chart of a birth: the literal engine's longitudes and texts,
// the zone as the table's texts give it (UT is the clock time plus the
// correction, less an hour with daylight saving; the planets take that moment
// with calendar carry, the ascendant and the Moon the hours on the civil
// date), then the literal labels, wheel and analysis.
Chart LiteralChart(const Birth& b);

// The first text, list or wheel entry in which two charts differ, as
// "what: [program] / [literal]"; empty when every one is the same. The
// longitudes are left out, and the text export is compared as a whole.
std::string FirstDifference(const Chart& program, const Chart& literal);

// Tally of many comparisons.
struct Tally {
    std::uint64_t charts = 0;
    std::uint64_t mismatchedCharts = 0;          // at least one text differs
    std::uint64_t mismatchedLines = 0;           // the JSON line differs from the library's
    std::array<double, 11> largestDifference{};  // |program − literal| per slot, degrees
    std::uint64_t nearStep = 0;                  // literal longitudes within kTextStepMargin of an arcsecond step
    double nearestStep = 1.0;                    // closest a literal longitude came to a step, degrees
    std::string firstMismatch;                   // birth and the first difference

    void Add(const Tally& other);
    double LargestDifference() const;
};

// Computes one birth both ways and adds it to the tally.
void Compare(const Birth& b, ProgramCharts& program, Tally& tally);

}  // namespace qv::oracle
