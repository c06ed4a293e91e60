// Births before standard time: the atlas's clock to the second, through the
// form and the birth value to the Universal Time and the positions; the
// nearest atlas place to typed coordinates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "astro/universal_time.h"
#include "chart/birth_form.h"
#include "chart/birth_place.h"
#include "chart/chart_run.h"
#include "state/text.h"
#include "tests/support/iso_minute.h"

namespace qv {
namespace {

// A form that passes every check but the zone's, at `local`.
BirthFormData FormAt(const LocalDateTime& local) {
    BirthFormData form;
    form.txtName = "Test";
    form.cboYear = YearItem(local.year);
    form.cboMonth = local.month - 1;
    form.cboDate = local.day - 1;
    form.cboHour = local.hour;
    form.cboMinute = local.minute;
    form.txtLatD = "50", form.txtLatM = "0", form.optLatSouth = 0;
    form.txtLonD = "10", form.txtLonM = "0", form.optLongEast = 0;
    form.txtCity = "City", form.txtState = "State", form.txtCountry = "Country";
    return form;
}

// The C library's reading of the same tz data: the offset of `zone` at the
// moment `universal`, and its local clock time then.
struct LibcClock {
    long offset;
    LocalDateTime local;
};
LibcClock LibcClockAt(const char* zone, std::chrono::sys_seconds universal) {
    const char* before = std::getenv("TZ");
    const std::optional<std::string> saved = before ? std::optional<std::string>(before) : std::nullopt;
    setenv("TZ", zone, 1);
    tzset();
    const std::time_t t = universal.time_since_epoch().count();
    std::tm tm{};
    localtime_r(&t, &tm);
    if (saved)
        setenv("TZ", saved->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    return {tm.tm_gmtoff, {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min}};
}

struct LmtBirth {
    const char* zone;
    LocalDateTime local;
    std::int32_t offset;  // east of UTC, seconds, as the tz database gives it (zdump, tzdata 2025b)
    ClockKind kind;
    const char* universal;
};

// Clocks of the tz database that no row of the table gives: local mean
// times, capital-city times, summer times on them, and standard offsets of
// a quarter hour; the carries across midnight and the year's end.
// clang-format off
const LmtBirth kBirths[] = {
    {"Europe/Moscow",      {1915, 6, 1, 12, 0},    9017, ClockKind::MeanTime,     "1915-06-01T09:29:43Z"},  // MMT
    {"Europe/Moscow",      {1915, 1, 1, 1, 0},     9017, ClockKind::MeanTime,     "1914-12-31T22:29:43Z"},
    {"Europe/Paris",       {1905, 3, 20, 8, 15},    561, ClockKind::MeanTime,     "1905-03-20T08:05:39Z"},  // PMT
    {"Europe/Dublin",      {1910, 12, 31, 23, 50}, -1521, ClockKind::MeanTime,    "1911-01-01T00:15:21Z"},  // DMT
    {"Asia/Kolkata",       {1903, 8, 15, 4, 0},   19270, ClockKind::MeanTime,     "1903-08-14T22:38:50Z"},  // MMT
    {"Europe/Amsterdam",   {1930, 7, 1, 0, 30},    4772, ClockKind::SummerTime,   "1930-06-30T23:10:28Z"},  // NST
    {"America/Detroit",    {1901, 12, 31, 20, 0}, -19931, ClockKind::MeanTime,    "1902-01-01T01:32:11Z"},  // LMT
    {"America/Montevideo", {1910, 5, 25, 18, 5},  -13491, ClockKind::MeanTime,    "1910-05-25T21:49:51Z"},  // MMT
    {"America/Caracas",    {1910, 7, 5, 9, 0},    -16060, ClockKind::MeanTime,    "1910-07-05T13:27:40Z"},  // CMT
    {"Europe/Lisbon",      {1910, 10, 5, 11, 0},   -2205, ClockKind::MeanTime,    "1910-10-05T11:36:45Z"},  // LMT
    {"Europe/Helsinki",    {1910, 2, 28, 23, 59},   5989, ClockKind::MeanTime,    "1910-02-28T22:19:11Z"},  // HMT
    {"Europe/Istanbul",    {1905, 1, 1, 0, 0},      7016, ClockKind::MeanTime,    "1904-12-31T22:03:04Z"},  // IMT
    {"Asia/Tehran",        {1920, 3, 21, 6, 45},   12344, ClockKind::MeanTime,    "1920-03-21T03:19:16Z"},  // TMT
    {"Asia/Singapore",     {1904, 9, 9, 9, 9},     24925, ClockKind::MeanTime,    "1904-09-09T02:13:35Z"},  // SMT
    {"Africa/Monrovia",    {1960, 4, 12, 16, 0},   -2670, ClockKind::MeanTime,   "1960-04-12T16:44:30Z"},  // MMT
    {"Asia/Kathmandu",     {2000, 6, 1, 9, 5},     20700, ClockKind::StandardTime, "2000-06-01T03:20:00Z"},
};
// clang-format on

// The atlas chooses the exact clock as the zone list's last entry, the box
// cleared; the checked birth carries it, and the Universal Time follows to
// the second, as the C library gives it from the same tz data.
TEST(ExactClock, LocalMeanTimeBirthsTakeTheAtlasOffsetToTheSecond) {
    for (const LmtBirth& b : kBirths) {
        SCOPED_TRACE(std::string(b.zone) + " " + std::to_string(b.local.year));
        const PlaceClock clock = ClockOfPlace(Place{"Here", "", "", "", 0, 0, b.zone}, b.local);
        ASSERT_TRUE(clock.refusal.empty()) << clock.refusal;
        ASSERT_FALSE(clock.slot.found);
        ASSERT_TRUE(clock.exact.has_value());
        EXPECT_EQ(*clock.exact, (ExactClock{b.offset, b.kind}));

        BirthFormData form = FormAt(b.local);
        form.chkDST = true;
        ASSERT_TRUE(SetZoneOfClock(form, clock));
        EXPECT_EQ(form.cboTimeZone, kExactClockItem);
        EXPECT_FALSE(form.chkDST);
        BirthData birth;
        ASSERT_EQ(CheckBirthForm(form, birth), std::nullopt);
        EXPECT_EQ(birth.exactClock, clock.exact);
        EXPECT_EQ(FormOfBirth(birth), form);

        const EngineInput input = EngineInputOf(birth);
        EXPECT_EQ(input.utcOffsetSeconds, b.offset);
        const std::chrono::sys_seconds universal = UniversalSecond(input);
        EXPECT_EQ(FormatIsoMinute(universal), b.universal);
        const LibcClock libc = LibcClockAt(b.zone, universal);
        EXPECT_EQ(libc.offset, b.offset);
        EXPECT_EQ(libc.local, b.local);
        EXPECT_DOUBLE_EQ(UniversalTimeHours(input) * 3600,
                         b.local.hour * 3600.0 + b.local.minute * 60.0 - static_cast<double>(b.offset));
    }
}

// The seconds reach the positions: Moscow 1915 at 12:00 MMT (09:29:43 UT)
// lies between the charts of 09:29 and 09:30 UT.
TEST(ExactClock, PositionsLieBetweenTheMinutesAroundTheMoment) {
    const EngineInput exact{{1915, 6, 1, 12, 0}, 9017, 55.75, 37.62};
    const EngineNumbers at = ClassicChartNumbers(exact);
    const EngineNumbers before = ClassicChartNumbers({{1915, 6, 1, 9, 29}, 0, 55.75, 37.62});
    const EngineNumbers after = ClassicChartNumbers({{1915, 6, 1, 9, 30}, 0, 55.75, 37.62});
    for (const std::size_t slot : {std::size_t{0}, std::size_t{1}, std::size_t{10}}) {  // Sun, Moon, ascendant
        EXPECT_LT(before.longitude[slot], at.longitude[slot]) << slot;
        EXPECT_LT(at.longitude[slot], after.longitude[slot]) << slot;
    }
}

// A whole-minute offset keeps the minute's moment; a row never has seconds.
TEST(ExactClock, WholeMinuteOffsetsGiveTheMinuteMoment) {
    for (const std::int32_t offset : {0, 3600, -18000, 19800, 20700, 9000, -1800}) {
        const EngineInput input{{1999, 12, 31, 23, 59}, offset, 0, 0};
        EXPECT_EQ(UniversalSecond(input), std::chrono::sys_seconds(UniversalMoment(input))) << offset;
    }
}

// Offsets beyond 15 hours are refused; the item needs its clock.
TEST(ExactClock, TheFormRefusesAnExactItemWithoutAClockInRange) {
    struct Case {
        std::optional<ExactClock> clock;
        bool accepted;
    };
    const Case cases[] = {
        {ExactClock{9017, ClockKind::MeanTime}, true},
        {ExactClock{-15 * 3600, ClockKind::MeanTime}, true},
        {ExactClock{15 * 3600 + 1, ClockKind::MeanTime}, false},
        {ExactClock{-15 * 3600 - 1, ClockKind::MeanTime}, false},
        {std::nullopt, false},
    };
    for (const Case& c : cases) {
        BirthFormData form = FormAt({1915, 6, 1, 12, 0});
        form.cboTimeZone = kExactClockItem;
        form.exactClock = c.clock;
        BirthData birth;
        EXPECT_EQ(!CheckBirthForm(form, birth).has_value(), c.accepted);
    }
}

TEST(ExactClock, TheZoneListEntryNamesTheKindThePlaceAndTheOffset) {
    EXPECT_EQ(ExactClockLabel({9017, ClockKind::MeanTime}, "Moscow"), "Local mean time of Moscow, UTC+2:30:17");
    EXPECT_EQ(ExactClockLabel({20700, ClockKind::StandardTime}, "Kathmandu"), "Standard time of Kathmandu, UTC+5:45");
    EXPECT_EQ(ExactClockLabel({4772, ClockKind::SummerTime}, "Amsterdam"), "Summer time of Amsterdam, UTC+1:19:32");
    EXPECT_EQ(ExactClockLabel({-1521, ClockKind::MeanTime}, ""), "Local mean time, UTC\u22120:25:21");
}

// Typed coordinates: the nearest atlas place within 100 km, its clock at
// the birth moment, or none.
TEST(NearbyClock, TheLineNamesTheNearestPlaceAndItsClock) {
    struct Case {
        const char* lat[3];  // degrees, minutes, "N" or "S"
        const char* lon[3];
        LocalDateTime when;
        std::string line;
        bool zone;  // its zone can be used
    };
    // clang-format off
    const Case cases[] = {
        {{"47", "35", "N"}, {"11", "4", "E"}, {1980, 1, 15, 12, 0},
         "Nearest atlas place: Garmisch-Partenkirchen, 10 km: CET, UTC+1:00", true},
        {{"55", "45", "N"}, {"37", "37", "E"}, {1915, 6, 1, 12, 0}, "Nearest atlas place: Moscow, under 1 km: MMT, UTC+2:30:17", true},
        {{"0", "0", "N"}, {"30", "0", "W"}, {1980, 1, 15, 12, 0}, "No atlas place within 100 km", false},
        {{"47", "35", "N"}, {"11", "4", "E"}, {1980, 1, 15, 12, 0}, "", false},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        BirthFormData form = FormAt(c.when);
        form.txtLatD = c.lat[0], form.txtLatM = c.lat[1], form.optLatSouth = c.lat[2][0] == 'S';
        form.txtLonD = c.lon[0], form.txtLonM = c.lon[1], form.optLongEast = c.lon[2][0] == 'W';
        if (i == 3) form.optLongEast = -1;  // a direction not chosen yet
        const NearbyClock nearby = NearbyClockOfForm(form);
        EXPECT_EQ(nearby.line, c.line) << i;
        BirthFormData zone = form;
        EXPECT_EQ(nearby.nearest.has_value() && SetZoneOfClock(zone, nearby.clock), c.zone) << i;
    }
}

}  // namespace
}  // namespace qv
