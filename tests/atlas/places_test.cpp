#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <glib.h>

#include <random>

#include "atlas/place_names.h"
#include "atlas/place_words.h"
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

Place City(const char* name, const char* state, const char* country, const char* code, std::uint32_t population,
           std::uint32_t id = 0, const char* stateCode = "", double latitude = 0, double longitude = 0) {
    Place p;
    p.name = name;
    p.state = state;
    p.country = country;
    p.countryCode = code;
    p.latitude = latitude;
    p.longitude = longitude;
    p.zoneId = "Etc/UTC";
    p.population = population;
    p.id = id;
    p.stateCode = stateCode;
    return p;
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

// A small world: cities with numbers and state codes, and the names their
// catalogs give.
const std::vector<Place>& World() {
    static const std::vector<Place> world = {
        City("Munich", "Bavaria", "Germany", "DE", 1260391, 2867714, "02", 48.137, 11.575),
        City("Moscow", "Moscow", "Russia", "RU", 10381222, 524901, "48", 55.752, 37.616),
        City("Moscow", "Idaho", "United States of America", "US", 25060, 5601538, "ID", 46.732, -117.0),
        City("Tokyo", "Tokyo", "Japan", "JP", 8336599, 1850147, "40", 35.690, 139.692),
        City("Saint Petersburg", "Saint Petersburg", "Russia", "RU", 5028000, 498817, "66", 59.939, 30.314),
        City("St. Petersburg", "Florida", "United States of America", "US", 257083, 4171563, "FL", 27.771, -82.679),
        City("Chicago", "Illinois", "United States of America", "US", 2720546, 4887398, "IL", 41.850, -87.650),
        City("Chicago Heights", "Illinois", "United States of America", "US", 30284, 4888015, "IL", 41.506, -87.636),
        City("Toronto", "Ontario", "Canada", "CA", 2600000, 6167865, "08", 43.700, -79.416),
        City("Sydney", "New South Wales", "Australia", "AU", 4627345, 2147714, "02", -33.868, 151.207),
        City("Sydney", "Nova Scotia", "Canada", "CA", 105968, 6354908, "07", 46.150, -60.181),
        City("London", "England", "United Kingdom", "GB", 8961989, 2643743, "ENG", 51.509, -0.126),
        City("London", "Ontario", "Canada", "CA", 346765, 6058560, "08", 42.984, -81.233),
        City("Washington D.C.", "District of Columbia", "United States of America", "US", 689545, 4140963, "DC", 38.895,
             -77.036),
        City("Washington", "England", "United Kingdom", "GB", 53526, 2634715, "ENG", 54.900, -1.517),
        City("Fort Worth", "Texas", "United States of America", "US", 918915, 4691930, "TX", 32.725, -97.321),
        City("Mount Vernon", "New York", "United States of America", "US", 68071, 5128266, "NY", 40.913, -73.837),
        City("Saint-Louis", "Saint-Louis Region", "Senegal", "SN", 176000, 2246452, "14", 16.018, -16.490),
        City("Singapore", "", "Singapore", "SG", 5600000, 1880252, "", 1.290, 103.850),
        City("Hong Kong", "Central and Western", "Hong Kong S.A.R", "HK", 7482500, 1819729, "HCW", 22.278, 114.175),
        City("Victoria", "British Columbia", "Canada", "CA", 289625, 6174041, "02", 48.433, -123.369),
        City("Udaipur", "Rajasthan", "India", "IN", 422784, 1253986, "24", 24.586, 73.713),
        City("Udaipur", "Rajasthan", "India", "IN", 30264, 1253985, "24", 27.723, 75.472),
        City("Burgdorf, Hanover", "Lower Saxony", "Germany", "DE", 30899, 2941405, "06", 52.446, 10.006),
        City("Burgdorf", "Bern", "Switzerland", "CH", 15000, 2661265, "BE", 47.059, 7.628),
    };
    return world;
}

// clang-format off
const std::vector<PlaceName> kWorldNames = {
    {"2867714", "München", 9},   {"2867714", "Monaco di Baviera", 2}, {"2867714", "Мюнхен", 12},
    {"524901", "Москва", 14},    {"524901", "Moskau", 3},              {"5601538", "Москва", 1},
    {"1850147", "東京都", 4},    {"1850147", "Tōkyō", 6},               {"4140963", "Washington", 8},
    {"1819729", "Victoria", 1},  {"1819729", "香港", 5},               {"SG", "Singapur", 20},
    {"SG", "Singapore", 40},     {"DE", "Deutschland", 4},             {"DE.02", "Bayern", 6},
    {"RU", "Россия", 7},         {"HK", "Hong Kong", 30},
};
// clang-format on

const PlaceIndex& WorldIndex() {
    static const PlaceIndex index(World(), kWorldNames);
    return index;
}

// clang-format off
TEST(PlaceIndex, FindsEveryNameOfACityAsPeopleWriteIt) {
    struct Case { const char* typed; std::vector<std::string> labels; };
    const Case cases[] = {
        // Other languages and scripts, folded as the city's own name.
        {"München", {"Munich (München), Bavaria, Germany"}},
        {"Munchen", {"Munich (München), Bavaria, Germany"}},
        {"Muenchen", {"Munich (München), Bavaria, Germany"}},
        {"мюнхен", {"Munich (Мюнхен), Bavaria, Germany"}},
        {"Moskau, Deutschland", {}},
        {"München, Bayern", {"Munich (München), Bavaria, Germany"}},
        {"Москва, Россия", {"Moscow (Москва), Moscow, Russia"}},
        {"東京", {"Tokyo (東京都), Tokyo, Japan"}},
        {"Tokyo", {"Tokyo, Tokyo, Japan"}},
        {"Mun", {"Munich, Bavaria, Germany"}},  // the city's own name before another that matches as well
        // Abbreviations of states and countries, with a comma or without.
        {"Chicago, IL", {"Chicago, Illinois, United States of America",
                         "Chicago Heights, Illinois, United States of America"}},
        {"Chicago IL", {"Chicago, Illinois, United States of America",
                        "Chicago Heights, Illinois, United States of America"}},
        {"Chicago Ill", {"Chicago, Illinois, United States of America",
                         "Chicago Heights, Illinois, United States of America"}},
        {"Toronto, ON", {"Toronto, Ontario, Canada"}},
        {"Sydney, NSW", {"Sydney, New South Wales, Australia"}},
        {"Sydney NS", {"Sydney, Nova Scotia, Canada"}},
        {"London, UK", {"London, England, United Kingdom"}},
        {"London UK", {"London, England, United Kingdom"}},
        {"London, England, UK", {"London, England, United Kingdom"}},
        {"London, ON", {"London, Ontario, Canada"}},
        {"Washington, DC", {"Washington D.C. (Washington), District of Columbia, United States of America"}},
        {"Washington D.C.", {"Washington D.C., District of Columbia, United States of America"}},
        {"Moscow, USA", {"Moscow, Idaho, United States of America"}},
        {"Moscow, ID, US", {"Moscow, Idaho, United States of America"}},
        {"Moscow, ID, ID", {}},  // state and country are two parts
        // The same word written in two ways; a hyphen is a blank.
        {"St Petersburg", {"Saint Petersburg, Saint Petersburg, Russia", "St. Petersburg, Florida, United States of America"}},
        {"Saint Petersburg, FL", {"St. Petersburg, Florida, United States of America"}},
        {"Ft. Worth", {"Fort Worth, Texas, United States of America"}},
        {"Mt Vernon", {"Mount Vernon, New York, United States of America"}},
        {"Saint Louis", {"Saint-Louis, Saint-Louis Region, Senegal"}},
        {"St-Louis", {"Saint-Louis, Saint-Louis Region, Senegal"}},
        // City-states take their country's names.
        {"Singapur", {"Singapore (Singapur), Singapore"}},
        {"Singapore", {"Singapore, Singapore"}},
        {"Hong Kong, China", {"Hong Kong, Central and Western, Hong Kong S.A.R"}},
        {"香港", {"Hong Kong (香港), Central and Western, Hong Kong S.A.R"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Labels(WorldIndex().Find(c.typed, 2)), c.labels) << c.typed;
}
// clang-format on

// clang-format off
TEST(PlaceIndex, RanksTheLargerPlaceFirstAndAFewCatalogsNameLast) {
    struct Case { const char* typed; std::vector<std::string> labels; };
    const Case cases[] = {
        {"St. Petersburg", {"Saint Petersburg, Saint Petersburg, Russia", "St. Petersburg, Florida, United States of America"}},
        {"Sydney", {"Sydney, New South Wales, Australia", "Sydney, Nova Scotia, Canada"}},
        {"Москва", {"Moscow (Москва), Moscow, Russia", "Moscow (Москва), Idaho, United States of America"}},
        // Hong Kong is larger, but only one catalog calls it Victoria.
        {"Victoria", {"Victoria, British Columbia, Canada", "Hong Kong (Victoria), Central and Western, Hong Kong S.A.R"}},
        // Eight catalogs call the capital Washington.
        {"Washington", {"Washington D.C. (Washington), District of Columbia, United States of America",
                        "Washington, England, United Kingdom"}},
        // The form's letters: no comma, and a word still being typed.
        {"St", {"Saint Petersburg, Saint Petersburg, Russia", "St. Petersburg, Florida, United States of America"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Labels(WorldIndex().Find(c.typed, 2)), c.labels) << c.typed;
}
// clang-format on

// clang-format off
TEST(PlaceIndex, ALabelFindsItsCityFirstAndSameLabelsAreToldApart) {
    struct Case { const char* typed; std::vector<std::string> labels; };
    const Case cases[] = {
        {"Udaipur", {"Udaipur, Rajasthan, India (24°35′N 73°43′E)", "Udaipur, Rajasthan, India (27°43′N 75°28′E)"}},
        {"Udaipur, Rajasthan, India (27°43′N 75°28′E)", {"Udaipur, Rajasthan, India (27°43′N 75°28′E)",
                                                         "Udaipur, Rajasthan, India (24°35′N 73°43′E)"}},
        {"udaipur rajasthan india 27 43 N 75 28 E", {"Udaipur, Rajasthan, India (27°43′N 75°28′E)"}},
        {"Udaipur, Rajasthan, India (27°40′N 75°28′E)", {"Udaipur, Rajasthan, India (24°35′N 73°43′E)",
                                                         "Udaipur, Rajasthan, India (27°43′N 75°28′E)"}},
        // A name with a comma.
        {"Burgdorf, Hanover, Lower Saxony, Germany", {"Burgdorf, Hanover, Lower Saxony, Germany"}},
        {"Burgdorf, Hanover", {"Burgdorf, Hanover, Lower Saxony, Germany"}},
        {"Burgdorf", {"Burgdorf, Bern, Switzerland", "Burgdorf, Hanover, Lower Saxony, Germany"}},
        // The label with the other name that matched.
        {"Munich (München), Bavaria, Germany", {"Munich, Bavaria, Germany"}},
        {"Chicago Heights, Illinois, United States of America", {"Chicago Heights, Illinois, United States of America"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Labels(WorldIndex().Find(c.typed, 2)), c.labels) << c.typed;
    for (std::size_t i = 0; i < WorldIndex().size(); ++i) {
        const Place city = WorldIndex().at(i);
        const auto found = WorldIndex().Find(PlaceLabel(city), 1);
        ASSERT_EQ(found.size(), 1u) << PlaceLabel(city);
        EXPECT_EQ(found[0].id, city.id) << PlaceLabel(city);
    }
}
// clang-format on

TEST(PlaceIndex, BoundsTheWorkOfAnyText) {
    std::string commas;
    for (int i = 0; i < 32768; ++i) commas += "s,";
    std::string blanks(2000, ' ');
    // clang-format off
    const std::string texts[] = {commas, commas.substr(0, 1000), "s,s,s,s,s,s", blanks + "Chicago", "Chicago" + blanks,
                                 ",,,,,,,,,,,,,,,,Chicago", "((((((((((", std::string(3000, '(')};
    // clang-format on
    for (const std::string& t : texts) EXPECT_TRUE(WorldIndex().Find(t, 10).empty()) << t.substr(0, 40);
    EXPECT_EQ(Labels(WorldIndex().Find("Chicago" + std::string(900, ' '), 1)),
              std::vector<std::string>{"Chicago, Illinois, United States of America"});
}

// The search folds many texts with SearchFolder, the typed ones with
// FoldForSearch: the two must agree on every text.
TEST(SearchFolder, FoldsAsFoldForSearchDoes) {
    std::vector<std::string> texts;
    for (const Place& p : ReadGazetteer()) {
        texts.push_back(p.name);
        texts.push_back(p.state);
        texts.push_back(p.country);
    }
    const PlaceNames names = ReadPlaceNames();
    for (const PlaceName& n : names.names) texts.emplace_back(n.text);
    std::mt19937 random(20261207);
    const char32_t ranges[][2] = {{0x20, 0x7e},     {0xa0, 0x24f},    {0x370, 0x52f},    {0x590, 0x6ff},
                                  {0x900, 0xdff},   {0x1e00, 0x1fff}, {0x2000, 0x206f},  {0x3040, 0x30ff},
                                  {0x4e00, 0x9fff}, {0xac00, 0xd7a3}, {0x1f300, 0x1f6ff}};
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        const int length = static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k) {
            const auto& r = ranges[random() % std::size(ranges)];
            const char32_t c = r[0] + random() % (r[1] - r[0] + 1);
            char utf8[8] = {};
            g_unichar_to_utf8(c, utf8);
            t += utf8;
        }
        if (i % 10 == 0) t += static_cast<char>(random() % 256);  // a stray byte
        if (i % 97 == 0) t.insert(t.size() / 2, 1, '\0');
        if (i % 89 == 0) t += "\xed\xa0\x80\xc0\xaf\xf4\x90\x80\x80";  // a surrogate, overlong, above U+10FFFF
        texts.push_back(std::move(t));
    }
    SearchFolder folder;
    std::size_t differ = 0;
    for (const std::string& t : texts)
        if (folder.Fold(t) != FoldForSearch(t) && ++differ < 10) ADD_FAILURE() << t;
    EXPECT_EQ(differ, 0u) << "of " << texts.size();
}

// clang-format off
TEST(WithWholeWords, WritesTheWordsOfTwoFormsOneWay) {
    struct Case { const char* folded; bool open; const char* key; };
    const Case cases[] = {
        {"st petersburg", false, "saint petersburg"}, {"ste foy", false, "sainte foy"},
        {"ft worth", false, "fort worth"},            {"mt vernon", false, "mount vernon"},
        {"sankt gallen", false, "saint gallen"},      {"st", false, "saint"},
        {"st", true, "st"},                           {"port st lucie", true, "port saint lucie"},
        {"stuttgart", false, "stuttgart"},            {"mtwara", false, "mtwara"},
        {"", false, ""},                              {"a st", true, "a st"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithWholeWords(c.folded, c.open), c.key) << c.folded;
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
