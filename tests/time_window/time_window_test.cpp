// The time window of a chart: its edges and every body's nearest changes
// against the plain minute-by-minute scan, and the cases that can break it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "astro/universal_time.h"
#include "chart/time_window.h"
#include "state/time_zones.h"
#include "tests/support/births.h"
#include "tests/support/case_count.h"
#include "tests/support/window_scan.h"

namespace qv {
namespace {

// A random chart of the years the form offers; `polar` puts it beyond 65°.
EngineInput RandomInput(std::mt19937_64& rng, bool polar) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    EngineInput in;
    in.local = {kFirstBirthYear + pick(kBirthYearCount), 1 + pick(12), 1 + pick(28), pick(24), pick(60)};
    in.utcOffsetSeconds = ZoneOffsetSeconds(pick(kTimeZoneCount), pick(4) == 0);
    const double latitude = polar ? 65.0 + pick(25 * 60) / 60.0 : pick(65 * 60) / 60.0;
    in.latitudeNorth = pick(2) ? latitude : -latitude;
    in.longitudeEast = (pick(360 * 60) - 180 * 60) / 60.0;
    return in;
}

std::string Describe(const EngineInput& in) {
    char text[128];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d offset %d s, %.4f, %.4f", in.local.year, in.local.month,
                  in.local.day, in.local.hour, in.local.minute, in.utcOffsetSeconds, in.latitudeNorth,
                  in.longitudeEast);
    return text;
}

TimeWindow WindowOf(const EngineInput& in, const PreciseEngine& engine = {}) {
    auto found = FindTimeWindow(in, engine);
    EXPECT_TRUE(std::holds_alternative<TimeWindow>(found)) << Describe(in);
    return std::holds_alternative<TimeWindow>(found) ? std::get<TimeWindow>(found) : TimeWindow{};
}

TEST(TimeWindow, AgreesWithTheMinuteScanOnRandomCharts) {
    std::mt19937_64 rng(25);
    int polar = 0, crossingMidnight = 0;
    const int count = static_cast<int>(RandomCaseCount(300));
    for (int k = 0; k < count; ++k) {
        const bool nearPole = k % 6 == 0;
        polar += nearPole;
        const EngineInput in = RandomInput(rng, nearPole);
        const auto scanned = test::ScanTimeWindow(in, {});
        ASSERT_TRUE(std::holds_alternative<TimeWindow>(scanned));
        const TimeWindow& expected = std::get<TimeWindow>(scanned);
        EXPECT_EQ(WindowOf(in), expected) << Describe(in);
        crossingMidnight += ShiftedClock(in.local, expected.first).day != ShiftedClock(in.local, expected.last).day;
    }
    EXPECT_EQ(polar, (count + 5) / 6);
    if (!kSanitized) EXPECT_GT(crossingMidnight, 10) << "windows across midnight are among them";
}

TEST(ShiftedClock, CarriesAcrossDaysMonthsAndYears) {
    struct Case {
        LocalDateTime from;
        int minutes;
        LocalDateTime to;
    };
    const Case cases[] = {
        {{1962, 6, 15, 23, 50}, 15, {1962, 6, 16, 0, 5}},   {{1962, 6, 15, 0, 5}, -6, {1962, 6, 14, 23, 59}},
        {{1999, 12, 31, 12, 0}, 1440, {2000, 1, 1, 12, 0}}, {{2000, 3, 1, 0, 30}, -60, {2000, 2, 29, 23, 30}},
        {{1901, 1, 1, 0, 0}, -1, {1900, 12, 31, 23, 59}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShiftedClock(c.from, c.minutes), c.to) << c.minutes;
        EXPECT_EQ(MinutesBetween(c.from, c.to), c.minutes);
    }
}

// The retrograde marks go by the local date: a mark that changes between
// two days changes at local midnight, whatever the zone.
TEST(TimeWindow, MarkChangesAtLocalMidnight) {
    // The first day of 1962 whose marks differ from the day before's.
    EngineInput in = EngineInputOf(test::Asha());
    in.local = {1962, 1, 1, 0, 20};
    ChartFace yesterday = FaceOf(ClassicChartNumbers(in));
    for (int day = 1; day < 365; ++day) {
        in.local = ShiftedClock({1962, 1, 1, 0, 20}, day * 1440);
        const ChartFace today = FaceOf(ClassicChartNumbers(in));
        if (today.retrograde != yesterday.retrograde) break;
        yesterday = today;
    }
    const TimeWindow w = WindowOf(in);
    bool found = false;
    for (std::size_t p = kFirstMarkPart; p < kFacePartCount; ++p) {
        if (FacePart(w.face, p) == FacePart(yesterday, p)) continue;
        found = true;
        ASSERT_TRUE(w.lastChange[p].has_value()) << p;
        EXPECT_EQ(w.lastChange[p]->minute, -20) << "at 00:00 of the birth's date";
        EXPECT_EQ(w.lastChange[p]->before, FacePart(yesterday, p));
    }
    EXPECT_TRUE(found);
    EXPECT_GE(w.first, -20) << "the window starts at midnight at the earliest";
    EXPECT_EQ(w, std::get<TimeWindow>(test::ScanTimeWindow(in, {})));
}

// Near the pole the ascendant lingers in a sign for hours.
TEST(TimeWindow, PolarSignHoldsForHours) {
    EngineInput in = EngineInputOf(test::AdaInLondon());
    in.latitudeNorth = 78.0;  // Longyearbyen
    in.longitudeEast = 15.5;
    int longest = 0;
    for (int hour = 0; hour < 24; ++hour) {
        in.local.hour = hour;
        const TimeWindow w = WindowOf(in);
        EXPECT_EQ(w, std::get<TimeWindow>(test::ScanTimeWindow(in, {}))) << hour;
        longest = std::max(longest, w.last - w.first + 1);
    }
    EXPECT_GT(longest, 6 * 60);
}

// A stand-in engine whose only motion is the Moon's, from `start` degrees
// at the birth's clock time on by `perMinute` each minute: charts that hold
// for a day and more. Both are exact binary fractions.
PreciseEngine SlowMoon(const EngineInput& birth, double start, double perMinute) {
    return [=](const EngineInput& in) -> std::variant<EngineNumbers, std::string> {
        EngineNumbers n;
        for (double& l : n.longitude) l = 100.0;
        n.longitude[kMoonSlot] = std::fmod(start + perMinute * MinutesBetween(birth.local, in.local) + 360.0, 360.0);
        return n;
    };
}

TEST(TimeWindow, TwentyFourHourLimit) {
    const EngineInput in = EngineInputOf(test::Asha());
    constexpr double kStep = 1.0 / 1024;  // 1.40625° in 24 hours
    struct Case {
        const char* what;
        double start, perMinute;
        bool earlierOpen, laterOpen;
        int first, last;
    };
    // clang-format off
    const Case cases[] = {
        {"still", 10.0, 0.0, true, true, -1440, 1440},
        {"Taurus at +1440", 30.0 - 1440 * kStep, kStep, true, false, -1440, 1439},
        {"Taurus just beyond", 30.0 - 1441 * kStep, kStep, true, true, -1440, 1440},
        {"Aries from -1439", 1439 * kStep, kStep, false, true, -1439, 1440},
        {"Aries from -1440", 1440 * kStep, kStep, true, true, -1440, 1440},
    };
    // clang-format on
    for (const Case& c : cases) {
        const TimeWindow w = WindowOf(in, SlowMoon(in, c.start, c.perMinute));
        EXPECT_EQ(w.earlierOpen, c.earlierOpen) << c.what;
        EXPECT_EQ(w.laterOpen, c.laterOpen) << c.what;
        EXPECT_EQ(w.first, c.first) << c.what;
        EXPECT_EQ(w.last, c.last) << c.what;
        EXPECT_EQ(w, std::get<TimeWindow>(test::ScanTimeWindow(in, SlowMoon(in, c.start, c.perMinute)))) << c.what;
    }
}

TEST(TimeWindow, StopsAtTheYearsTheProgramCalculates) {
    EngineInput in = EngineInputOf(test::Asha());
    in.local = {1901, 1, 1, 0, 30};
    TimeWindow w = WindowOf(in, SlowMoon(in, 10.0, 0.0));
    EXPECT_EQ(w.earliest, -30);
    EXPECT_EQ(w.first, -30);
    EXPECT_TRUE(w.earlierOpen);
    in.local = {2050, 12, 31, 23, 0};
    w = WindowOf(in);
    EXPECT_EQ(w.latest, 59);
    EXPECT_EQ(w, std::get<TimeWindow>(test::ScanTimeWindow(in, {})));
}

TEST(TimeWindow, AnEngineThatRefusesAMomentRefusesTheWindow) {
    const EngineInput in = EngineInputOf(test::Asha());
    const PreciseEngine refusing = [&](const EngineInput& at) -> std::variant<EngineNumbers, std::string> {
        if (MinutesBetween(in.local, at.local) > 600) return std::string("No ephemeris for that day.");
        return EngineNumbers{};
    };
    const auto found = FindTimeWindow(in, refusing);
    ASSERT_TRUE(std::holds_alternative<std::string>(found));
    EXPECT_EQ(std::get<std::string>(found), "No ephemeris for that day.");
}

}  // namespace
}  // namespace qv
