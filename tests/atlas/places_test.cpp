#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "atlas/places.h"
#include "atlas/zone_at.h"

namespace qv {
namespace {

// clang-format off
TEST(FoldForSearch, AccentsCaseAndPunctuation) {
    struct Case { const char* text; const char* folded; };
    const Case cases[] = {
        {"São Paulo", "sao paulo"},      {"  Winston-Salem ", "winston salem"}, {"ZÜRICH", "zurich"},
        {"Łódź", "lodz"},                {"St. John\u2019s", "st johns"},       {"Şanlıurfa", "sanliurfa"},
        {"Gǝncǝ", "gence"},              {"Đakovo", "dakovo"},                  {"Ħaż-Żabbar", "haz zabbar"},
        {"Зуунмод", "зуунмод"},          {"Ağrı Dağı", "agri dagi"},            {"\u4E0A\u6D77!", "\u4E0A\u6D77"},
        {"", ""},                        {"?!", ""},                            {"Bad \xff\xfe bytes", "bad bytes"},
    };
    for (const auto& c : cases) EXPECT_EQ(FoldForSearch(c.text), c.folded) << c.text;
}
// clang-format on

// clang-format off
TEST(RoundToMinute, CarriesIntoTheDegreeAndKeepsTheSide) {
    struct Case { double degrees; Coordinate expected; };
    const Case cases[] = {{41.85, {41, 51, false}},  {-87.65, {87, 39, true}}, {41.9999, {42, 0, false}},
                          {-0.004, {0, 0, false}},   {-0.01, {0, 1, true}},     {179.995, {180, 0, false}},
                          {-23.5475, {23, 33, true}}, {0.5083, {0, 30, false}}};
    for (const auto& c : cases) EXPECT_EQ(RoundToMinute(c.degrees), c.expected) << c.degrees;
}
// clang-format on

Place City(const char* name, const char* state, const char* country, const char* code, std::uint32_t population) {
    return {name, state, country, code, 0, 0, "Etc/UTC", population};
}

std::vector<std::string> Labels(const std::vector<Place>& places) {
    std::vector<std::string> out;
    for (const auto& p : places) out.push_back(PlaceLabel(p));
    return out;
}

// clang-format off
TEST(PlaceIndex, RanksEqualThenPrefixThenWordThenPopulation) {
    const PlaceIndex index({City("North Springfield", "Virginia", "United States", "US", 900000),
                            City("Springfield", "Illinois", "United States", "US", 100000),
                            City("Springfield", "Missouri", "United States", "US", 160000),
                            City("Springfield Gardens", "New York", "United States", "US", 500000),
                            City("Springs", "Gauteng", "South Africa", "ZA", 120000),
                            City("Singapore", "", "Singapore", "SG", 5000000)});
    struct Case { const char* typed; std::size_t limit; std::vector<std::string> labels; };
    const Case cases[] = {
        {"springfield", 9,
         {"Springfield, Missouri, United States", "Springfield, Illinois, United States",
          "Springfield Gardens, New York, United States", "North Springfield, Virginia, United States"}},
        {"SPRING", 2, {"Springfield Gardens, New York, United States", "Springfield, Missouri, United States"}},
        {"Springfield, Illinois", 9, {"Springfield, Illinois, United States"}},
        {"Springfield, united st, miss", 9, {"Springfield, Missouri, United States"}},
        {"springs, za", 9, {"Springs, Gauteng, South Africa"}},
        {"Springfield, Texas", 9, {}},
        {"field", 9, {}},  // inside a word, not at its start
        {"Sing", 9, {"Singapore, Singapore"}},
        {" , Illinois", 9, {}},
        {"spring", 0, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Labels(index.Find(c.typed, c.limit)), c.labels) << c.typed;
}
// clang-format on

// clang-format off
TEST(Atlas, FindsTheGazetteersCitiesAsTheUserTypesThem) {
    struct Case { const char* typed; std::size_t within; const char* label; const char* zone; };
    const Case cases[] = {
        {"Chicago", 1, "Chicago, Illinois, United States of America", "America/Chicago"},
        {"Chic", 1, "Chicago, Illinois, United States of America", "America/Chicago"},
        {"chicago, illinois", 1, "Chicago, Illinois, United States of America", "America/Chicago"},
        {"Sao Paulo", 1, "São Paulo, São Paulo, Brazil", "America/Sao_Paulo"},
        {"London", 1, "London, England, United Kingdom", "Europe/London"},
        {"London, Canada", 1, "London, Ontario, Canada", "America/Toronto"},
        {"Kathmandu", 1, "Kathmandu, Bagmati Province, Nepal", "Asia/Kathmandu"},
        {"new york", 1, "New York, New York, United States of America", "America/New_York"},
        {"York", 5, "New York, New York, United States of America", "America/New_York"},
    };
    for (const auto& c : cases) {
        const auto found = FindPlaces(c.typed, c.within);
        bool seen = false;
        for (const auto& p : found) seen = seen || (PlaceLabel(p) == c.label && p.zoneId == c.zone);
        EXPECT_TRUE(seen) << c.typed;
    }
    const Place chicago = FindPlaces("Chicago", 1).at(0);
    EXPECT_NEAR(chicago.latitude, 41.85, 0.01);
    EXPECT_NEAR(chicago.longitude, -87.65, 0.01);
    EXPECT_EQ(chicago.countryCode, "US");
    EXPECT_EQ(FindPlaces("Ch", 10).size(), 10u);
    EXPECT_TRUE(FindPlaces("Qzxqzx", 10).empty());
}
// clang-format on

TEST(Atlas, EveryCitysZoneIsKnownToTheTimeZoneData) {
    const auto places = ReadGazetteer();
    EXPECT_GT(places.size(), 20000u);
    EXPECT_EQ(Atlas().size(), places.size());
    std::set<std::string> zones;
    for (const auto& p : places) zones.insert(p.zoneId);
    for (const auto& zone : zones) EXPECT_TRUE(ZoneAt(zone, {1990, 6, 1, 12, 0}).ok()) << zone;
}

}  // namespace
}  // namespace qv
