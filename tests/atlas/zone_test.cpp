#include <gtest/gtest.h>

#include <string>

#include "astro/universal_time.h"
#include "atlas/clock_text.h"
#include "atlas/zone_at.h"
#include "atlas/zone_slot.h"
#include "state/chart_state.h"
#include "state/time_zones.h"

namespace qv {
namespace {

constexpr int kNoRow = -1;

struct ClockCase {
    const char* zone;
    LocalDateTime local;
    int offset;  // seconds east of UTC
    bool dst;
    const char* abbreviation;
    int slot;  // kNoRow: no row of the table gives the offset
    bool box;
};

// Offsets and abbreviations as the tz database (zone and rule lines named per
// case) and the cited references give them; rows and boxes as the program chooses.
TEST(ZoneAt, HistoricalClocksAndTheirRows) {
    const ClockCase cases[] = {
        // tzdata northamerica, Rule Chicago 1955-1966 Apr lastSun / Oct lastSun: CDT.
        {"America/Chicago", {1962, 6, 15, 12, 0}, -5 * 3600, true, "CDT", 18, false},
        // tzdata asia, Zone Asia/Kolkata "5:30 1:00 +0630 1942 May 15" ... war time from 1942 Sep.
        {"Asia/Kolkata", {1942, 12, 1, 12, 0}, 23400, true, "+0630", 34, true},
        // British Standard Time Act 1968: UTC+1 all year 1968-10-27 .. 1971-10-31 (tzdata "1:00 - BST").
        {"Europe/London", {1970, 6, 15, 12, 0}, 3600, false, "BST", 16, false},
        // Double summer time 1941-1945 (tzdata europe, Rule GB-Eire 1944 "2:00 BDST").
        {"Europe/London", {1944, 6, 1, 12, 0}, 7200, true, "BDST", 15, false},
        // German occupation time 1940-06-14 .. 1944 (tzdata europe, Zone Europe/Paris "1:00 C-Eur CE%sT").
        {"Europe/Paris", {1942, 6, 1, 12, 0}, 7200, true, "CEST", 20, true},
        // Berlin midsummer time 1945-05-24 .. 09-24 (tzdata europe, Rule SovietZone "3:00 M").
        {"Europe/Berlin", {1945, 6, 1, 12, 0}, 10800, true, "CEMT", 19, true},
        // Moscow on EET with summer time 1991-03-31 .. 09-29 (tzdata europe, Zone Europe/Moscow "2:00 Russia EE%sT").
        {"Europe/Moscow", {1991, 6, 1, 12, 0}, 10800, true, "EEST", 26, true},
        // New South Wales daylight saving 1999-10-31 .. 2000-03-26 (tzdata australasia, Rule AN).
        {"Australia/Sydney", {2000, 1, 15, 12, 0}, 39600, true, "AEDT", 7, false},
        // South Australia +10:30 in summer, +9:30 in winter (tzdata australasia, Rule AS).
        {"Australia/Adelaide", {2000, 1, 15, 12, 0}, 37800, true, "ACDT", 5, false},
        {"Australia/Adelaide", {2000, 7, 15, 12, 0}, 34200, false, "ACST", 6, false},
        // Lord Howe saves half an hour (tzdata australasia, Rule LH 1996-2005 "0:30").
        {"Australia/Lord_Howe", {2000, 1, 15, 12, 0}, 39600, true, "+11", 8, true},
        // New Zealand daylight time 1999-10-03 .. 2000-03-19 (tzdata australasia, Rule NZ).
        {"Pacific/Auckland", {2000, 1, 15, 12, 0}, 46800, true, "NZDT", 47, true},
        {"Pacific/Auckland", {2000, 7, 15, 12, 0}, 43200, false, "NZST", 47, false},
        // Japan Standard Time, no daylight saving since 1951 (tzdata asia, Zone Asia/Tokyo "9:00 Japan J%sT").
        {"Asia/Tokyo", {1990, 6, 1, 12, 0}, 32400, false, "JST", 38, false},
        // Nepal on +5:45 since 1986-01-01 (tzdata asia, Zone Asia/Kathmandu).
        {"Asia/Kathmandu", {2000, 6, 1, 12, 0}, 20700, false, "+0545", kNoRow, false},
        // Iran +3:30 (tzdata asia, Zone Asia/Tehran "3:30 Iran %z").
        {"Asia/Tehran", {2010, 1, 15, 12, 0}, 12600, false, "+0330", 37, false},
        // Brazil summer time 1999-10-03 .. 2000-02-27 (tzdata southamerica, Rule Brazil).
        {"America/Sao_Paulo", {2000, 1, 15, 12, 0}, -7200, true, "-02", 14, true},
        // Argentina back on -3 standard 2000-03-03 (tzdata southamerica, Zone America/Argentina/Buenos_Aires).
        {"America/Argentina/Buenos_Aires", {2000, 6, 1, 12, 0}, -10800, false, "-03", 14, false},
        // Hawaii -10:30 until 1947 and war time 1942-02-09 .. 1945 (tzdata northamerica, Zone Pacific/Honolulu).
        {"Pacific/Honolulu", {1940, 6, 1, 12, 0}, -37800, false, "HST", 32, false},
        {"Pacific/Honolulu", {1943, 6, 1, 12, 0}, -34200, true, "HWT", 33, false},
        // Newfoundland -3:30 and its daylight time (tzdata northamerica, Rule StJohns).
        {"America/St_Johns", {1990, 1, 15, 12, 0}, -12600, false, "NST", 50, false},
        {"America/St_Johns", {1990, 7, 15, 12, 0}, -9000, true, "NDT", 50, true},
        // Anchorage on Alaska-Hawaii time 1967-1983 (tzdata northamerica, Zone America/Anchorage "AH%sT").
        {"America/Anchorage", {1975, 1, 15, 12, 0}, -36000, false, "AHST", 1, false},
        {"America/Anchorage", {1975, 7, 15, 12, 0}, -32400, true, "AHDT", 0, false},
        // US war time 1942-02-09 .. 1945-08-14 (tzdata northamerica, Rule US 1942 "W").
        {"America/Chicago", {1943, 6, 1, 12, 0}, -18000, true, "CWT", 22, false},
        // Chicago kept its mean time, -5:50:36, until 1883-11-18 (tzdata northamerica, Zone America/Chicago).
        {"America/Chicago", {1880, 1, 1, 12, 0}, -21036, false, "LMT", kNoRow, false},
        // Moscow kept its mean time, +2:30:17, until 1916-07-03 (tzdata europe, Zone Europe/Moscow "MMT").
        {"Europe/Moscow", {1915, 6, 1, 12, 0}, 2 * 3600 + 30 * 60 + 17, false, "MMT", kNoRow, false},
        // Amsterdam summer time on mean time +1:19:32 (tzdata backzone, Zone Europe/Amsterdam "N%sT"):
        // the abbreviation NST is a row's, the offset is not a whole minute.
        {"Europe/Amsterdam", {1930, 7, 1, 12, 0}, 4772, true, "NST", kNoRow, false},
        // Mexico ended daylight saving on 2022-10-30 (Diario Oficial 2022-10-28; tzdata 2022f).
        {"America/Mexico_City", {2023, 6, 1, 12, 0}, -21600, false, "CST", 21, false},
        // West Africa Time is +1 (the table's WAT row is -1:00).
        {"Africa/Lagos", {1990, 6, 1, 12, 0}, 3600, false, "WAT", 20, false},
        // Kiritimati on +14 since 1995 (tzdata australasia): no row, so +13 and the box.
        {"Pacific/Kiritimati", {2000, 6, 1, 12, 0}, 50400, false, "+14", 46, true},
        // Ireland's winter time is a negative daylight saving in the tz database; GMT is a row.
        {"Europe/Dublin", {1990, 1, 15, 12, 0}, 0, true, "GMT", 29, false},
        // Past the listed transitions the zone's rule holds (US Energy Policy Act 2005).
        {"America/New_York", {2045, 7, 1, 12, 0}, -4 * 3600, true, "EDT", 24, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.local.year) + "-" + std::to_string(c.local.month));
        const ZoneAtResult r = ZoneAt(c.zone, c.local);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.kind, LocalTimeKind::Unique);
        EXPECT_EQ(r.time, (LocalTimeType{c.offset, c.dst, c.abbreviation}));
        const ZoneSlot slot = ZoneSlotFor(r.time);
        EXPECT_EQ(slot, (ZoneSlot{c.slot != kNoRow, c.slot, c.box}));
    }
}

struct ChangeCase {
    const char* zone;
    LocalDateTime local;
    LocalTimeKind kind;
    int first, second;  // offsets: before and after a skipped time; both occurrences of a repeated one
};

TEST(ZoneAt, SkippedAndRepeatedClockTimes) {
    const ChangeCase cases[] = {
        // US 2021: clocks forward at 02:00 on March 14, back at 02:00 on November 7.
        {"America/New_York", {2021, 3, 14, 2, 30}, LocalTimeKind::Skipped, -5 * 3600, -4 * 3600},
        {"America/New_York", {2021, 11, 7, 1, 30}, LocalTimeKind::Repeated, -4 * 3600, -5 * 3600},
        {"America/New_York", {2021, 3, 14, 1, 59}, LocalTimeKind::Unique, -5 * 3600, -5 * 3600},
        {"America/New_York", {2021, 3, 14, 3, 0}, LocalTimeKind::Unique, -4 * 3600, -4 * 3600},
        // The same from the zone's rule, past its listed transitions.
        {"America/New_York", {2045, 3, 12, 2, 30}, LocalTimeKind::Skipped, -5 * 3600, -4 * 3600},
        {"America/New_York", {2045, 11, 5, 1, 0}, LocalTimeKind::Repeated, -4 * 3600, -5 * 3600},
        {"Australia/Sydney", {2045, 4, 2, 2, 30}, LocalTimeKind::Repeated, 39600, 36000},
        // Kolkata: war time began at midnight 1942-09-01, ended 1942-05-15 00:00 -> 23:00.
        {"Asia/Kolkata", {1942, 9, 1, 0, 30}, LocalTimeKind::Skipped, 19800, 23400},
        {"Asia/Kolkata", {1942, 5, 14, 23, 30}, LocalTimeKind::Repeated, 23400, 19800},
        // Kiritimati skipped 1994-12-31 entirely, Samoa 2011-12-30 (tzdata australasia).
        {"Pacific/Kiritimati", {1994, 12, 31, 12, 0}, LocalTimeKind::Skipped, -36000, 50400},
        {"Pacific/Apia", {2011, 12, 30, 12, 0}, LocalTimeKind::Skipped, -36000, 50400},
        {"Pacific/Apia", {2011, 12, 31, 0, 0}, LocalTimeKind::Unique, 50400, 50400},
        // Lord Howe's half hour: 01:30 to 02:00 happened twice on 2000-03-26.
        {"Australia/Lord_Howe", {2000, 3, 26, 1, 45}, LocalTimeKind::Repeated, 39600, 37800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.local.year) + "-" + std::to_string(c.local.month) +
                     "-" + std::to_string(c.local.day));
        const ZoneAtResult r = ZoneAt(c.zone, c.local);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.time.utcOffset, c.first);
        EXPECT_EQ(r.other.utcOffset, c.second);
    }
}

// clang-format off
TEST(ZoneAt, RefusesUnknownZonesBadNamesMissingZonesAndImpossibleDates) {
    struct Case { const char* zone; LocalDateTime local; const char* error; };
    const Case cases[] = {
        {"Mars/Olympus_Mons", {2000, 1, 1, 0, 0}, "No time zone is known as \"Mars/Olympus_Mons\"."},
        {"../../etc/passwd", {2000, 1, 1, 0, 0}, "No time zone is known as \"../../etc/passwd\"."},
        {"/etc/localtime", {2000, 1, 1, 0, 0}, "No time zone is known as \"/etc/localtime\"."},
        {"America/Chicago/Loop", {2000, 1, 1, 0, 0}, "No time zone is known as \"America/Chicago/Loop\"."},
        {"Europe/Paris\x1b]0;x\a", {2000, 1, 1, 0, 0}, "No time zone is known as \"Europe/Paris\\x1b]0;x\\x07\"."},
        // A place the atlas has no zone for.
        {"", {2000, 1, 1, 0, 0},
         "The atlas knows no time zone for this place. Please choose the time zone and daylight saving."},
        {"Europe/Paris", {2023, 2, 29, 12, 0}, "The date and time are not a valid calendar date and clock time."},
        {"Europe/Paris", {2023, 1, 1, 24, 0}, "The date and time are not a valid calendar date and clock time."},
    };
    for (const auto& c : cases) EXPECT_EQ(ZoneAt(c.zone, c.local).error, c.error) << c.zone;
}
// clang-format on

TEST(ZoneSlotFor, EveryRowAndBoxComesBackToItsOwnOffset) {
    // Whatever row is chosen, the program's Universal Time rule must give the offset back.
    ChartState state;
    LoadTimeZones(state);
    const auto rowGives = [](int offset) {
        for (int s = 0; s < kTimeZoneCount; ++s)
            if (ZoneOffsetSeconds(s, false) == offset) return true;
        return false;
    };
    for (int slot = 0; slot < kTimeZoneCount; ++slot) {
        for (bool box : {false, true}) {
            const int offset = ZoneOffsetSeconds(slot, box);
            for (bool dst : {false, true}) {
                const ZoneSlot chosen = ZoneSlotFor(offset, dst, "");
                ASSERT_TRUE(chosen.found) << slot;
                EXPECT_EQ(ZoneOffsetSeconds(chosen.slot, chosen.daylightSaving), offset) << slot << ' ' << box;
                // The box is ticked for daylight saving when a row an hour behind exists, else only
                // when no row gives the whole offset.
                EXPECT_EQ(chosen.daylightSaving, (dst && rowGives(offset - 3600)) || !rowGives(offset));
            }
        }
    }
}

// clang-format off
TEST(ZoneSlotFor, AbbreviationsChooseAmongRowsOfOneOffset) {
    struct Case { int offset; bool dst; const char* abbreviation; int slot; bool box; };
    const Case cases[] = {
        {-5 * 3600, false, "EST", 27, false},  // not CDT or CWT, also -5
        {-5 * 3600, true, "CDT", 18, false},
        {-5 * 3600, true, "CPT", 21, true},    // no row: CST and the box
        {-3 * 3600 - 1800, false, "NST", 50, false},  // Newfoundland, not North Sumatra
        {6 * 3600 + 1800, false, "NST", 52, false},   // North Sumatra
        {10 * 3600 + 1800, true, "SDT", 57, false},   // the second South Australia daylight row
        {9 * 3600 + 1800, false, "SAT", 59, false},
        {2 * 3600, false, "SAST", 26, false},  // South Africa: the SAST row is +9:30
        {3600, false, "", 20, false},          // CET before British Summer Time by kind
        {0, false, "", 29, false},
        {5 * 3600 + 2700, false, "+0545", kNoRow, false},
        {-14 * 3600, false, "", kNoRow, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZoneSlotFor(c.offset, c.dst, c.abbreviation), (ZoneSlot{c.slot != kNoRow, c.slot, c.box}))
            << c.abbreviation << ' ' << c.offset;
}
// clang-format on

// clang-format off
TEST(DescribeClock, TheLineUnderTheZoneRow) {
    struct Case { const char* place; const char* zone; LocalDateTime local; const char* line; };
    const Case cases[] = {
        {"Chicago", "America/Chicago", {1962, 6, 15, 12, 0}, "Chicago: CDT, UTC\u22125:00 on June 15, 1962"},
        {"Kolkata", "Asia/Kolkata", {1942, 12, 1, 12, 0}, "Kolkata: UTC+6:30 with daylight saving on December 1, 1942"},
        {"New York", "America/New_York", {2021, 11, 7, 1, 30},
         "New York: EDT, UTC\u22124:00 on November 7, 2021; the clocks went back that night and 1:30 came twice: "
         "the first (EDT) is taken"},
        {"New York", "America/New_York", {2021, 3, 14, 2, 30},
         "2:30 on March 14, 2021 did not exist in New York: the clocks moved forward that night (EST to EDT). "
         "Please check the time of birth."},
        {"Kathmandu", "Asia/Kathmandu", {2000, 6, 1, 9, 5},
         "Kathmandu: UTC+5:45 on June 1, 2000; no time-zone row gives this offset: the chart takes it to the second"},
    };
    for (const auto& c : cases) {
        const ZoneAtResult clock = ZoneAt(c.zone, c.local);
        EXPECT_EQ(DescribeClock(c.place, c.local, clock, ZoneSlotFor(clock.time)), c.line);
    }
}
// clang-format on

// clang-format off
TEST(FormatUtcOffset, SignsMinutesAndSeconds) {
    struct Case { int seconds; const char* text; };
    const Case cases[] = {{-18000, "UTC\u22125:00"}, {19800, "UTC+5:30"}, {0, "UTC+0:00"},
                          {-21036, "UTC\u22125:50:36"}, {50400, "UTC+14:00"}, {-1800, "UTC\u22120:30"}};
    for (const auto& c : cases) EXPECT_EQ(FormatUtcOffset(c.seconds), c.text);
}
// clang-format on

}  // namespace
}  // namespace qv

namespace qv {
namespace {

// The place's winter time, whichever way the tz database files the pair of
// clocks: summer as daylight time, or winter as a negative daylight time.
TEST(WinterOffset, SummerTimeIsAnHourAheadOfWinterInEveryZone) {
    struct Case {
        const char* zone;
        LocalDateTime local;
        int offset, winter;
        bool summer;
    };
    const Case cases[] = {
        {"Europe/Dublin", {1990, 1, 15, 12, 0}, 0, 0, false},
        {"Europe/Dublin", {1990, 6, 15, 12, 0}, 3600, 0, true},
        {"Africa/Windhoek", {2000, 7, 15, 12, 0}, 3600, 3600, false},
        {"Africa/Windhoek", {2000, 1, 15, 12, 0}, 7200, 3600, true},
        {"Africa/Casablanca", {2020, 1, 15, 12, 0}, 3600, 0, true},
        {"Africa/Casablanca", {2020, 5, 1, 12, 0}, 0, 0, false},
        {"Africa/El_Aaiun", {2020, 1, 15, 12, 0}, 3600, 0, true},
        {"Africa/El_Aaiun", {2020, 5, 1, 12, 0}, 0, 0, false},
        {"America/Chicago", {1962, 1, 15, 12, 0}, -6 * 3600, -6 * 3600, false},
        {"America/Chicago", {1962, 6, 15, 12, 0}, -5 * 3600, -6 * 3600, true},
        // War time kept through the winters: its standard time is years away.
        {"America/Chicago", {1943, 12, 15, 12, 0}, -5 * 3600, -6 * 3600, true},
        // British double summer time: two hours ahead of GMT.
        {"Europe/London", {1943, 6, 15, 12, 0}, 7200, 0, true},
        // Moscow on +4 all year 2011-2014: winter time, no summer.
        {"Europe/Moscow", {2012, 1, 15, 12, 0}, 4 * 3600, 4 * 3600, false},
        {"Europe/Moscow", {2012, 7, 15, 12, 0}, 4 * 3600, 4 * 3600, false},
        {"Asia/Kathmandu", {2000, 6, 1, 12, 0}, 20700, 20700, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.local.year) + "-" + std::to_string(c.local.month));
        const ZoneAtResult r = ZoneAt(c.zone, c.local);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.time.utcOffset, c.offset);
        EXPECT_EQ(r.winterOffset, c.winter);
        EXPECT_EQ(r.summerTime(), c.summer);
        // The row and box chosen for the clock tick the box only for summer time.
        const ZoneSlot slot = ZoneSlotFor(r);
        if (slot.found) {
            EXPECT_EQ(ZoneOffsetSeconds(slot.slot, slot.daylightSaving), c.offset);
            if (slot.daylightSaving) EXPECT_TRUE(c.summer);
        }
    }
}

}  // namespace
}  // namespace qv
