// The line under the zone row of the birth-data form: what the form still
// holds of a place chosen from the atlas, and a zone set by hand that
// disagrees with the atlas.
#include <gtest/gtest.h>

#include <string>

#include "chart/birth_place.h"

namespace qv {
namespace {

Place Chicago() { return {"Chicago", "Illinois", "United States of America", "US", 41.85, -87.65, "America/Chicago"}; }
Place Monaco() { return {"Monaco", "", "Monaco", "MC", 43.73, 7.42, "Europe/Monaco"}; }
Place NewYork() {
    return {"New York", "New York", "United States of America", "US", 40.71, -74.01, "America/New_York"};
}
Place Kathmandu() { return {"Kathmandu", "Bagmati", "Nepal", "NP", 27.70, 85.32, "Asia/Kathmandu"}; }

constexpr int kCdt = 18, kCst = 21, kEst = 27, kIndia = 34;
constexpr LocalDateTime kSummer{1962, 6, 15, 14, 30};
constexpr AtlasPlaceUse kBoth{true, true}, kCoordinates{true, false}, kZone{false, true}, kNone{false, false};

const std::string kLeftOver =
    "Coordinates and zone are Chicago's, Illinois: choose the new place from the list, or type its coordinates and "
    "zone";

struct LineCase {
    const char* name;
    Place (*place)();
    LocalDateTime when;
    const char* city;
    AtlasPlaceUse use;
    int zoneSlot;
    bool dst;
    std::string line;  // "=" : what the atlas found, the clock's own line
};

class AtlasLines : public testing::TestWithParam<LineCase> {};

TEST_P(AtlasLines, SayWhatIsLeftOfThePlaceAndWhatDisagrees) {
    const LineCase& c = GetParam();
    const Place place = c.place();
    const PlaceClock clock = ClockOfPlace(place, c.when);
    const std::string expected = c.line == "=" ? clock.line : c.line;
    EXPECT_EQ(AtlasLine(place, c.city, c.use, clock, c.zoneSlot, c.dst), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, AtlasLines,
    testing::Values(
        LineCase{"CityStillNamesThePlace", Chicago, kSummer, "Chicago", kBoth, kCdt, false,
                 "Chicago: CDT, UTC\u22125:00 on June 15, 1962"},
        LineCase{"CaseAndBlanksDoNotMatter", Chicago, kSummer, "  chicago ", kBoth, kCdt, false, "="},
        LineCase{"AnotherCityWithEverythingLeft", Chicago, kSummer, "Evanston", kBoth, kCdt, false, kLeftOver},
        LineCase{"AnotherCityWithTheCoordinatesLeft", Chicago, kSummer, "Evanston", kCoordinates, kEst, false,
                 "Coordinates are Chicago's, Illinois: choose the new place from the list, or type its coordinates"},
        LineCase{"AnotherCityWithTheZoneLeft", Chicago, kSummer, "Evanston", kZone, kCdt, false,
                 "Zone is Chicago's, Illinois: choose the new place from the list, or choose its zone"},
        LineCase{"AnotherCityWithNothingLeft", Chicago, kSummer, "Evanston", kNone, kEst, false, ""},
        LineCase{"CityEmptied", Chicago, kSummer, "", kBoth, kCdt, false, kLeftOver},
        LineCase{"NoStateTheCountrySaysWhere", Monaco, kSummer, "Nice", kBoth, 20, false,
                 "Coordinates and zone are Monaco's, Monaco: choose the new place from the list, or type its "
                 "coordinates and zone"},
        LineCase{"ZoneByHandThatAgrees", Chicago, kSummer, "Chicago", kCoordinates, kCst, true, "="},
        LineCase{"ZoneByHandThatDisagrees", Chicago, kSummer, "Chicago", kCoordinates, kCst, false,
                 "Set by hand: the atlas gives CDT, UTC\u22125:00"},
        LineCase{"ZoneByHandForAnOffsetNoRowGives",
                 Kathmandu,
                 {2000, 6, 1, 12, 0},
                 "Kathmandu",
                 kCoordinates,
                 kIndia,
                 false,
                 "Set by hand: the atlas gives UTC+5:45"},
        LineCase{"ZoneByHandAtASkippedTimeSaysTheTimeNeverWas",
                 NewYork,
                 {2021, 3, 14, 2, 30},
                 "New York",
                 kCoordinates,
                 kEst,
                 false,
                 "="},
        LineCase{"ZoneByHandAtARepeatedTimeTakesTheFirst",
                 NewYork,
                 {2021, 11, 7, 1, 30},
                 "New York",
                 kCoordinates,
                 kEst,
                 false,
                 "Set by hand: the atlas gives EDT, UTC\u22124:00"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
