#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "retro/stations.h"

namespace qv {
namespace {

using namespace std::chrono;

constexpr StationPlanet kAllPlanets[] = {
    StationPlanet::Mercury, StationPlanet::Venus,  StationPlanet::Mars,    StationPlanet::Jupiter,
    StationPlanet::Saturn,  StationPlanet::Uranus, StationPlanet::Neptune, StationPlanet::Pluto,
};

sys_days Day(int y, unsigned m, unsigned d) { return sys_days{year{y} / m / d}; }

sys_days RowDay(std::string_view row) {
    const auto moment = ParseStationRow(row);
    EXPECT_TRUE(moment.has_value()) << row;
    return moment ? floor<days>(*moment) : sys_days{};
}

std::string Name(StationPlanet planet) { return std::string(StationPlanetName(planet)); }

struct ShapeCase {
    StationPlanet planet;
    std::size_t periods;
    sys_days firstStart, lastEnd;
    int shortestDays, longestDays;  // whole days from station to station
};

TEST(StationTables, SizesBoundsAndPeriodLengths) {
    const ShapeCase cases[] = {
        {StationPlanet::Mercury, 476, Day(1900, 3, 15), Day(2050, 12, 21), 19, 24},
        {StationPlanet::Venus, 95, Day(1900, 6, 16), Day(2050, 11, 6), 40, 43},
        {StationPlanet::Mars, 71, Day(1901, 1, 13), Day(2050, 9, 13), 59, 81},
        {StationPlanet::Jupiter, 139, Day(1900, 3, 27), Day(2051, 4, 21), 116, 124},
        {StationPlanet::Saturn, 146, Day(1900, 4, 14), Day(2050, 10, 6), 133, 141},
        {StationPlanet::Uranus, 150, Day(1900, 3, 17), Day(2051, 5, 29), 148, 154},
        {StationPlanet::Neptune, 150, Day(1900, 10, 2), Day(2051, 2, 4), 155, 160},
        {StationPlanet::Pluto, 151, Day(1899, 9, 16), Day(2050, 11, 21), 156, 164},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Name(c.planet));
        const StationLists lists = LoadStations(c.planet);
        ASSERT_EQ(lists.PeriodCount(), c.periods);
        ASSERT_EQ(lists.start.size(), c.periods + 1);  // declared with one spare slot
        ASSERT_EQ(lists.end.size(), c.periods + 1);
        EXPECT_EQ(RowDay(lists.start.front()), c.firstStart);
        EXPECT_EQ(RowDay(lists.end[c.periods - 1]), c.lastEnd);
        for (std::size_t k = 0; k < c.periods; ++k) {
            const auto length = floor<days>(*ParseStationRow(lists.end[k]) - *ParseStationRow(lists.start[k]));
            EXPECT_GE(length.count(), c.shortestDays) << lists.start[k];
            EXPECT_LE(length.count(), c.longestDays) << lists.start[k];
        }
    }
}

TEST(StationTables, RowsParseAndAreInOrderWithOnlyTheSpareSlotEmpty) {
    for (StationPlanet planet : kAllPlanets) {
        SCOPED_TRACE(Name(planet));
        const StationLists lists = LoadStations(planet);
        const std::size_t n = lists.PeriodCount();
        EXPECT_TRUE(lists.start[n].empty());
        EXPECT_TRUE(lists.end[n].empty());
        std::optional<sys_time<minutes>> previousEnd;
        for (std::size_t k = 0; k < n; ++k) {
            const auto start = ParseStationRow(lists.start[k]);
            const auto end = ParseStationRow(lists.end[k]);
            ASSERT_TRUE(start && end) << "row " << k << ": " << lists.start[k] << " / " << lists.end[k];
            EXPECT_LT(*start, *end) << lists.start[k];
            if (previousEnd) EXPECT_LT(*previousEnd, *start) << lists.start[k];
            previousEnd = end;
        }
    }
}

TEST(StationTables, KeptPeriodsStartFrom1900To2050AndCoverTheSupportedYears) {
    // Every birth year the form offers is covered by every planet's table.
    for (StationPlanet planet : kAllPlanets) {
        SCOPED_TRACE(Name(planet));
        const StationLists lists = LoadStations(planet);
        EXPECT_LE(RowDay(lists.start.front()), Day(1901, 12, 31));
        EXPECT_GE(RowDay(lists.end[lists.PeriodCount() - 1]), Day(2050, 1, 1));
        for (std::size_t k = 0; k < lists.PeriodCount(); ++k) {
            const int startYear = static_cast<int>(year_month_day{RowDay(lists.start[k])}.year());
            EXPECT_LE(startYear, 2050);
            EXPECT_GE(startYear, planet == StationPlanet::Pluto && k == 0 ? 1899 : 1900);
        }
    }
}

struct ExampleCase {
    StationPlanet planet;
    sys_days start, end;  // UT calendar days of one period's stations
};

TEST(StationTables, ExamplePeriodsFallOnTheirCalendarDays) {
    const ExampleCase cases[] = {
        {StationPlanet::Mercury, Day(1900, 3, 15), Day(1900, 4, 7)},
        {StationPlanet::Mercury, Day(2000, 2, 21), Day(2000, 3, 14)},
        {StationPlanet::Mercury, Day(2050, 12, 1), Day(2050, 12, 21)},
        {StationPlanet::Jupiter, Day(1900, 3, 27), Day(1900, 7, 29)},
        {StationPlanet::Jupiter, Day(2000, 9, 29), Day(2001, 1, 25)},  // across a year end
        {StationPlanet::Jupiter, Day(2050, 12, 21), Day(2051, 4, 21)},
        {StationPlanet::Pluto, Day(1899, 9, 16), Day(1900, 2, 27)},
        {StationPlanet::Pluto, Day(2000, 3, 15), Day(2000, 8, 20)},
        {StationPlanet::Pluto, Day(2050, 6, 10), Day(2050, 11, 21)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Name(c.planet) + " " + std::to_string(c.start.time_since_epoch().count()));
        const StationLists lists = LoadStations(c.planet);
        bool found = false;
        for (std::size_t k = 0; k < lists.PeriodCount(); ++k) {
            if (RowDay(lists.start[k]) == c.start) {
                found = true;
                EXPECT_EQ(RowDay(lists.end[k]), c.end) << lists.end[k];
            }
        }
        EXPECT_TRUE(found);
    }
}

TEST(StationTables, LoadingAgainGivesTheSameLists) {
    for (StationPlanet planet : kAllPlanets) {
        const StationLists first = LoadStations(planet);
        const StationLists again = LoadStations(planet);
        ASSERT_EQ(first.start.size(), again.start.size());
        for (std::size_t k = 0; k < first.start.size(); ++k) {
            EXPECT_EQ(first.start[k], again.start[k]);
            EXPECT_EQ(first.end[k], again.end[k]);
        }
    }
}

struct RowCase {
    std::string_view text;
    std::optional<sys_time<minutes>> expected;
};

TEST(ParseStationRow, AcceptsOnlyTheRowForm) {
    const auto at = [](int y, unsigned m, unsigned d, int h, int mi) {
        return std::optional<sys_time<minutes>>{Day(y, m, d) + hours{h} + minutes{mi}};
    };
    const RowCase cases[] = {
        {"3,15,1900,13,19,", at(1900, 3, 15, 13, 19)},
        {"12,31,2050,23,59,", at(2050, 12, 31, 23, 59)},
        {"1,1,2051,0,0,", at(2051, 1, 1, 0, 0)},
        {"2,29,2000,0,5,", at(2000, 2, 29, 0, 5)},  // leap year
        {"2,29,1900,0,5,", std::nullopt},           // 1900 is not a leap year
        {"4,31,2000,0,0,", std::nullopt},
        {"13,1,2000,0,0,", std::nullopt},
        {"0,1,2000,0,0,", std::nullopt},
        {"3,15,1900,24,0,", std::nullopt},
        {"3,15,1900,13,60,", std::nullopt},
        {"3,15,1900,13,19", std::nullopt},    // no trailing comma
        {"3,15,1900,13,19,,", std::nullopt},  // a seventh field
        {"3,15,1900,13,", std::nullopt},
        {"03,15,1900,13,19,", std::nullopt},  // leading zero
        {"3,15,1900,13,09,", std::nullopt},
        {"3,15,190,13,19,", std::nullopt},  // year not four digits
        {"3,15,19000,13,19,", std::nullopt},
        {" 3,15,1900,13,19,", std::nullopt},
        {"3,15,1900,-1,19,", std::nullopt},
        {"3,,1900,13,19,", std::nullopt},
        {"a,15,1900,13,19,", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseStationRow(c.text), c.expected) << c.text;
}

TEST(StationPlanetNames, ExactNamesOnly) {
    for (StationPlanet planet : kAllPlanets) EXPECT_EQ(StationPlanetFromName(StationPlanetName(planet)), planet);
    for (std::string_view other : {"Sun", "Moon", "Asc", "mercury", "Mercury ", "MERCURY", ""})
        EXPECT_FALSE(StationPlanetFromName(other).has_value()) << other;
}

}  // namespace
}  // namespace qv
