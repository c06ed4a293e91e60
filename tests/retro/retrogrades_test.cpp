#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "retro/retrogrades.h"
#include "retro/stations.h"
#include "state/fixed_lists.h"
#include "state/time_zones.h"

namespace qv {
namespace {

using namespace std::chrono;

local_time<minutes> At(int y, unsigned m, unsigned d, int h = 12, int mi = 0) {
    return local_days{year{y} / m / d} + hours{h} + minutes{mi};
}

struct DateCase {
    std::string_view planet;
    local_time<minutes> birth;
    bool expected;
};

TEST(IsRetrograde, StrictlyBetweenTheStationDaysAtAnyClockTime) {
    const DateCase cases[] = {
        // Mercury, stations on 21 February and 14 March 2000.
        {"Mercury", At(2000, 3, 1), true},
        {"Mercury", At(2000, 3, 1, 0, 0), true},
        {"Mercury", At(2000, 3, 1, 23, 59), true},
        {"Mercury", At(2000, 2, 20, 23, 59), false},
        {"Mercury", At(2000, 2, 21, 0, 0), false},
        {"Mercury", At(2000, 2, 21, 23, 59), false},  // after the station moment, same day
        {"Mercury", At(2000, 2, 22, 0, 0), true},
        {"Mercury", At(2000, 3, 13, 23, 59), true},
        {"Mercury", At(2000, 3, 14, 0, 0), false},  // before the station moment, same day
        {"Mercury", At(2000, 3, 14, 23, 59), false},
        {"Mercury", At(2000, 3, 15, 0, 0), false},
        // Jupiter, 29 September 2000 to 25 January 2001: across the year end.
        {"Jupiter", At(2000, 9, 29, 23, 59), false},
        {"Jupiter", At(2000, 9, 30, 0, 0), true},
        {"Jupiter", At(2000, 12, 31, 23, 59), true},
        {"Jupiter", At(2001, 1, 1, 0, 0), true},
        {"Jupiter", At(2001, 1, 24, 23, 59), true},
        {"Jupiter", At(2001, 1, 25, 0, 0), false},
        // Pluto: the period under way on 1 January 1900 (16 Sep 1899 – 27 Feb 1900).
        {"Pluto", At(1899, 12, 31), true},
        {"Pluto", At(1900, 1, 1), true},
        {"Pluto", At(1900, 2, 27), false},
        // Outside the tables and at their ends.
        {"Mercury", At(1900, 3, 14), false},
        {"Mercury", At(1800, 1, 1), false},
        {"Uranus", At(2051, 5, 28), true},
        {"Uranus", At(2051, 5, 29), false},
        {"Neptune", At(2100, 1, 1), false},
        // Names other than the eight planets.
        {"Sun", At(2000, 3, 1), false},
        {"mercury", At(2000, 3, 1), false},
        {"", At(2000, 3, 1), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsRetrograde(c.birth, c.planet), c.expected) << c.planet << " " << c.birth.time_since_epoch().count();
    }
}

// The test as the station rows state it, row by row: the birth day lies
// after the start day and before the end day of some period.
struct RowDays {
    std::vector<local_days> start, end;
};

RowDays DaysOfRows(StationPlanet planet) {
    const StationLists lists = LoadStations(planet);
    RowDays rows;
    for (std::size_t k = 0; k < lists.PeriodCount(); ++k) {
        rows.start.emplace_back(floor<days>(*ParseStationRow(lists.start[k])).time_since_epoch());
        rows.end.emplace_back(floor<days>(*ParseStationRow(lists.end[k])).time_since_epoch());
    }
    return rows;
}

bool ScanRows(const RowDays& rows, local_days birthDay) {
    for (std::size_t k = 0; k < rows.start.size(); ++k) {
        const auto ds = rows.start[k] - birthDay;
        const auto de = rows.end[k] - birthDay;
        if (ds.count() < 0 && de.count() > 0) return true;
    }
    return false;
}

TEST(IsRetrograde, AgreesWithARowByRowScanOnEveryDay) {
    const local_days first{year{1899} / 1 / 1};
    const local_days last{year{2052} / 1 / 1};
    for (std::size_t p = 0; p < kStationPlanetCount; ++p) {
        const auto planet = static_cast<StationPlanet>(p);
        const RowDays rows = DaysOfRows(planet);
        int mismatches = 0;
        for (local_days day = first; day <= last && mismatches < 5; day += days{1}) {
            const bool expected = ScanRows(rows, day);
            if (IsRetrograde(local_time<minutes>{day}, planet) != expected) {
                ++mismatches;
                ADD_FAILURE() << StationPlanetName(planet) << " day " << day.time_since_epoch().count();
            }
        }
    }
}

constexpr std::array<std::string_view, 11> kPlainLabels{
    "Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Asc",
};

ChartState StateBornOn(int y, int m, int d, int h = 12, int mi = 0) {
    ChartState state;
    state.BirthYear = static_cast<std::int16_t>(y);
    state.BirthMonth = static_cast<std::int16_t>(m);
    state.BirthDay = static_cast<std::int16_t>(d);
    state.BirthHour = static_cast<std::int16_t>(h);
    state.BirthMinute = static_cast<std::int16_t>(mi);
    state.BodyLabel = {"Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
                       "Saturn", "Uranus", "Neptune", "Pluto", "Asc",  ""};
    return state;
}

// The state's labels as strings, to compare with the expected ones.
std::array<std::string, 12> Labels(const ChartState& state) {
    std::array<std::string, 12> labels{};
    for (std::size_t i = 0; i < labels.size(); ++i) labels[i] = state.BodyLabel[i].str();
    return labels;
}

// Labels expected when the given label slots are marked.
std::array<std::string, 12> LabelsMarking(std::initializer_list<int> marked) {
    std::array<std::string, 12> labels{};
    for (std::size_t i = 0; i < kPlainLabels.size(); ++i) labels[i] = kPlainLabels[i];
    for (int slot : marked) labels[slot] += " (R) ";
    return labels;
}

// The calculation's two steps for the state's birth date: the flags of the
// local civil date and time, then the labels.
void MarkRetrogrades(ChartState& state) {
    const LocalDateTime local{state.BirthYear, state.BirthMonth, state.BirthDay, state.BirthHour, state.BirthMinute};
    const std::array<bool, 8> flags = RetrogradeFlagsOn(local);
    std::copy(flags.begin(), flags.end(), state.RetrogradeFlag.begin());
    WriteBodyLabels(state);
}

struct MarkCase {
    int year, month, day, hour, minute;
    std::initializer_list<int> markedSlots;
};

TEST(MarkRetrogrades, MarksTheRetrogradePlanetsOnTheBirthDate) {
    const MarkCase cases[] = {
        {2000, 3, 1, 9, 30, {2}},            // Mercury only
        {2000, 2, 21, 0, 0, {}},             // Mercury's station day
        {2000, 3, 14, 23, 59, {}},           // Mercury's station day
        {2001, 1, 1, 0, 0, {5, 6}},          // Jupiter and Saturn across the year end
        {2000, 4, 1, 12, 0, {9}},            // Pluto only
        {2000, 7, 10, 12, 0, {2, 7, 8, 9}},  // Mercury, Uranus, Neptune, Pluto
        {2001, 4, 1, 12, 0, {3, 9}},         // Venus and Pluto
        {2001, 6, 10, 12, 0, {2, 4, 7, 8, 9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day));
        ChartState state = StateBornOn(c.year, c.month, c.day, c.hour, c.minute);
        MarkRetrogrades(state);
        EXPECT_EQ(Labels(state), LabelsMarking(c.markedSlots));
        for (std::size_t f = 0; f < kStationPlanetCount; ++f) {
            EXPECT_EQ(state.RetrogradeFlag[f], state.BodyLabel[f + 2] != kPlainLabels[f + 2]) << f;
        }
    }
}

TEST(MarkRetrogrades, UsesTheLocalCivilDateWithoutZoneCorrection) {
    // 22 Feb 2000 00:30 in a zone ten hours east is 21 Feb in UT, Mercury's
    // station day; the local date is the one that counts.
    ChartState east = StateBornOn(2000, 2, 22, 0, 30);
    LoadTimeZones(east);
    StoreZone(east, 8);  // AEST, ten hours east
    east.DaylightSaving = true;
    MarkRetrogrades(east);
    EXPECT_TRUE(east.RetrogradeFlag[0]);
    EXPECT_EQ(east.BodyLabel[2], "Mercury (R) ");

    // 21 Feb 2000 23:30 five hours west is 22 Feb in UT; locally a station day.
    ChartState west = StateBornOn(2000, 2, 21, 23, 30);
    LoadTimeZones(west);
    StoreZone(west, 27);  // EST, five hours west
    MarkRetrogrades(west);
    EXPECT_FALSE(west.RetrogradeFlag[0]);
    EXPECT_EQ(west.BodyLabel[2], "Mercury");
}

TEST(MarkRetrogrades, ASecondCalculationResetsTheMarks) {
    ChartState state = StateBornOn(2000, 7, 10);
    MarkRetrogrades(state);
    MarkRetrogrades(state);  // the same chart again: one mark, not two
    EXPECT_EQ(Labels(state), LabelsMarking({2, 7, 8, 9}));

    state.BirthYear = 2000;
    state.BirthMonth = 3;
    state.BirthDay = 1;
    MarkRetrogrades(state);
    EXPECT_EQ(Labels(state), LabelsMarking({2}));
    const std::array<bool, 9> onlyMercury{true, false, false, false, false, false, false, false, false};
    EXPECT_EQ(state.RetrogradeFlag, onlyMercury);
}

TEST(MarkRetrogrades, ResetsLabelsThatWereNeverFilled) {
    ChartState state;  // the form never opened: labels empty
    state.BirthYear = 2000;
    state.BirthMonth = 3;
    state.BirthDay = 1;
    MarkRetrogrades(state);
    EXPECT_EQ(Labels(state), LabelsMarking({2}));
}

TEST(MarkRetrogrades, ADateThatDoesNotExistLeavesNoMarks) {
    struct Case {
        int year, month, day, hour, minute;
    };
    const Case cases[] = {
        {2001, 2, 29, 12, 0}, {2000, 2, 30, 12, 0}, {2000, 0, 1, 12, 0},  {2000, 13, 1, 12, 0}, {2000, 3, 0, 12, 0},
        {2000, 3, 32, 12, 0}, {2000, 3, 1, 24, 0},  {2000, 3, 1, 12, 60}, {2000, -3, 1, 12, 0},
    };
    for (const auto& c : cases) {
        ChartState state = StateBornOn(2000, 7, 10);
        MarkRetrogrades(state);  // leaves marks from an earlier chart
        state.BirthYear = static_cast<std::int16_t>(c.year);
        state.BirthMonth = static_cast<std::int16_t>(c.month);
        state.BirthDay = static_cast<std::int16_t>(c.day);
        state.BirthHour = static_cast<std::int16_t>(c.hour);
        state.BirthMinute = static_cast<std::int16_t>(c.minute);
        MarkRetrogrades(state);
        EXPECT_EQ(Labels(state), LabelsMarking({})) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(state.RetrogradeFlag, (std::array<bool, 9>{}));
    }
}

TEST(MarkRetrogrades, SunMoonAndAscAreNeverMarkedOnAnySupportedDay) {
    ChartState state = StateBornOn(kFirstBirthYear, 1, 1);
    for (local_days day{year{kFirstBirthYear} / 1 / 1}; day <= local_days{year{kLastBirthYear} / 12 / 31};
         day += days{1}) {
        const year_month_day ymd{day};
        state.BirthYear = static_cast<std::int16_t>(static_cast<int>(ymd.year()));
        state.BirthMonth = static_cast<std::int16_t>(static_cast<unsigned>(ymd.month()));
        state.BirthDay = static_cast<std::int16_t>(static_cast<unsigned>(ymd.day()));
        MarkRetrogrades(state);
        ASSERT_EQ(state.BodyLabel[0], "Sun");
        ASSERT_EQ(state.BodyLabel[1], "Moon");
        ASSERT_EQ(state.BodyLabel[10], "Asc");
        ASSERT_EQ(state.BodyLabel[11], "");
        ASSERT_FALSE(state.RetrogradeFlag[8]);
        for (std::size_t f = 0; f < kStationPlanetCount; ++f) {
            const std::string plain(kPlainLabels[f + 2]);
            ASSERT_EQ(state.BodyLabel[f + 2], state.RetrogradeFlag[f] ? plain + " (R) " : plain);
        }
    }
}

}  // namespace
}  // namespace qv
