// What rests on a birth time not known, against the plain way: the chart of
// every minute of the day, its analysis compared with that of 12:00; and the
// window's line on the place's clock across a change of the clock.
#include <gtest/gtest.h>

#include <random>

#include "analysis/elements.h"
#include "astro/calendar.h"
#include "chart/chart_moment.h"
#include "chart/chart_run.h"
#include "chart/time_window.h"
#include "state/fixed_lists.h"
#include "state/time_zones.h"
#include "tests/support/case_count.h"

namespace qv {
namespace {

// The dependence found minute by minute: every minute's whole chart.
TimeDependence ScanDependence(const EngineInput& noon) {
    struct Held {
        std::array<bool, 4> elements{};
        std::array<bool, 3> qualities{}, houseTypes{};
        bool operator==(const Held&) const = default;
    };
    const auto heldOf = [](const EngineNumbers& n) {
        Held h;
        const int ascendant = SignOfLongitude(n.longitude[kAscendantSlot]);
        for (std::size_t body = 0; body < kAscendantSlot; ++body) {
            const int sign = SignOfLongitude(n.longitude[body]);
            h.elements[static_cast<std::size_t>(ElementOfSign(sign))] = true;
            h.qualities[static_cast<std::size_t>(QualityOfSign(sign))] = true;
            h.houseTypes[static_cast<std::size_t>(HouseTypeOfHouse(WholeSignHouse(sign, ascendant)))] = true;
        }
        return h;
    };
    const EngineNumbers drawn = ClassicChartNumbers(noon);
    const Held at12 = heldOf(drawn);
    TimeDependence d;
    for (int minute = -12 * 60; minute < 12 * 60; ++minute) {
        EngineInput moved = noon;
        moved.local = ShiftedClock(noon.local, minute);
        const EngineNumbers n = ClassicChartNumbers(moved);
        d.moonSign =
            d.moonSign || SignOfLongitude(n.longitude[kMoonSlot]) != SignOfLongitude(drawn.longitude[kMoonSlot]);
        const Held now = heldOf(n);
        for (std::size_t i = 0; i < 4; ++i) d.elements[i] = d.elements[i] || now.elements[i] != at12.elements[i];
        for (std::size_t i = 0; i < 3; ++i) {
            d.qualities[i] = d.qualities[i] || now.qualities[i] != at12.qualities[i];
            d.houseTypes[i] = d.houseTypes[i] || now.houseTypes[i] != at12.houseTypes[i];
        }
    }
    return d;
}

TEST(UnknownTime, DependenceOnTheTimeAsTheMinuteByMinuteScan) {
    std::mt19937_64 rng(2030);
    int moonDays = 0, elementDays = 0;
    for (std::uint64_t k = 0; k < RandomCaseCount(150); ++k) {
        EngineInput noon;
        noon.local = {kFirstBirthYear + static_cast<int>(rng() % 150), 1 + static_cast<int>(rng() % 12),
                      2 + static_cast<int>(rng() % 26), 12, 0};
        noon.utcOffsetSeconds = ZoneOffsetSeconds(static_cast<int>(rng() % kTimeZoneCount), false);
        noon.latitudeNorth = static_cast<double>(rng() % 120) - 60.0;
        noon.longitudeEast = static_cast<double>(rng() % 360) - 180.0;
        const auto window = FindTimeWindow(noon);
        ASSERT_TRUE(std::holds_alternative<TimeWindow>(window));
        const TimeDependence found = DependenceOnTime(std::get<TimeWindow>(window), noon);
        EXPECT_EQ(found, ScanDependence(noon)) << noon.local.year << "-" << noon.local.month << "-" << noon.local.day;
        moonDays += found.moonSign;
        for (bool e : found.elements) elementDays += e;
    }
    // The whole draw reaches the days that matter: about one day in two and a
    // half has the Moon change sign, and some of them an element line. The
    // sanitizers' fiftieth of it is too few days to say so.
    if (RandomCaseCount(150) == 150) {
        EXPECT_GT(moonDays, 20);
        EXPECT_GT(elementDays, 0);
    }
}

TEST(UnknownTime, TheNoteNamesWhatRestsOnTheTime) {
    EXPECT_EQ(UnknownTimeNote({}),
              "Birth time unknown: the ascendant and the houses above are drawn for 12:00 and not known.");
    TimeDependence d;
    d.moonSign = true;
    d.elements[3] = true;    // Water
    d.qualities[1] = true;   // Mutable
    d.houseTypes[0] = true;  // Angular
    EXPECT_EQ(UnknownTimeNote(d),
              "Birth time unknown: the ascendant and the houses above are drawn for 12:00 and not known, nor are the "
              "Moon's sign and the Water, Mutable and Angular lines, which read otherwise at other times of that "
              "day.");
    d = {};
    d.qualities[2] = true;
    EXPECT_EQ(UnknownTimeNote(d),
              "Birth time unknown: the ascendant and the houses above are drawn for 12:00 and not known, nor are the "
              "Fixed line, which read otherwise at other times of that day.");
}

// Berlin, 26 March 2000 01:30 CET: the clocks went forward at 02:00, so the
// window's later edge is 03:08 on the place's clock, and the line says so.
TEST(TimeWindowLine, AnEdgeAcrossAChangeOfThePlacesClockSaysSo) {
    EngineInput in;
    in.local = {2000, 3, 26, 1, 30};
    in.utcOffsetSeconds = 3600;
    in.latitudeNorth = 52.5167;
    in.longitudeEast = 13.4;
    const auto found = FindTimeWindow(in);
    ASSERT_TRUE(std::holds_alternative<TimeWindow>(found));
    const TimeWindow& w = std::get<TimeWindow>(found);
    const std::string onPlace = TimeWindowLine(w, true, "Europe/Berlin");
    EXPECT_NE(onPlace.find(" to 03:08 (UTC+2:00, after the clocks changed)"), std::string::npos) << onPlace;
    EXPECT_NE(WindowEdgeEvent(w, true, "Europe/Berlin").find("at 03:09 "), std::string::npos);
    const std::string fixed = TimeWindowLine(w, true);
    EXPECT_NE(fixed.find(" to 02:08 ("), std::string::npos) << fixed;
    // A place whose clock was not the chart's at the birth leaves the chart's clock.
    EXPECT_EQ(TimeWindowLine(w, true, "America/Chicago"), fixed);
}

}  // namespace
}  // namespace qv
