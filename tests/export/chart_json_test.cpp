#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "chart/chart_run.h"
#include "formats/chart_json.h"
#include "tests/support/births.h"

namespace qv {
namespace {

using Json = nlohmann::ordered_json;

// The writer makes its own room from what each step writes: texts from
// none to tens of kilobytes escaped, at every depth it allows, appended to
// what the string held, give the JSON library's bytes.
TEST(JsonWriter, GrowsAsItWritesAfterWhatTheStringHeld) {
    const std::string texts[] = {"",
                                 "plain",
                                 std::string(5000, '\x01'),
                                 std::string(3000, '"') + std::string(3000, '\\'),
                                 "\xC3\xA9t\xC3\xA9 \xFF\xFE broken",
                                 std::string(70000, 'x')};
    for (const bool pretty : {false, true}) {
        for (const std::string& prefix : {std::string(), std::string("kept\n")}) {
            std::string out = prefix;
            Json want = Json::object();
            {
                JsonWriter json(out, pretty);
                json.BeginObject();
                Json* level = &want;
                for (int depth = 2; depth < JsonWriter::kMostDepth; ++depth) {
                    const std::string key = "level" + std::to_string(depth);
                    json.Key(key);
                    json.BeginObject();
                    level = &(*level)[key];
                    *level = Json::object();
                    for (std::size_t k = 0; k < std::size(texts); ++k) {
                        json.Key("t" + std::to_string(k));
                        json.String(texts[k]);
                        (*level)["t" + std::to_string(k)] = texts[k];
                    }
                    json.Key("n");
                    json.Number(-1.5e300 / depth);
                    (*level)["n"] = -1.5e300 / depth;
                    json.Key("i");
                    json.Integer(INT64_MIN + depth);
                    (*level)["i"] = INT64_MIN + depth;
                    json.Key("empty");
                    json.BeginArray();
                    json.EndArray();
                    (*level)["empty"] = Json::array();
                }
                for (int depth = 2; depth < JsonWriter::kMostDepth; ++depth) json.EndObject();
                json.EndObject();
            }
            EXPECT_EQ(out, prefix + want.dump(pretty ? 2 : -1, ' ', false, Json::error_handler_t::replace))
                << "pretty " << pretty << ", prefix " << prefix.size();
        }
    }
}

// The input object states whose chart it is, as entered: signed coordinates
// (north and east positive), the local date and time, the zone's slot and text.
TEST(ChartJson, InputStatesWhoseChartItIs) {
    struct Case {
        const char* what;
        BirthData birth;    // as the form holds it: texts untrimmed
        std::string input;  // the object as one line
    };
    // clang-format off
    const Case cases[] = {
        {"north and east", test::Asha(),
         R"({"name":"Asha","date":"1975-06-15","time":"14:30","time_known":true,"zone":34,"zone_text":"Indian Time, IST, +5.3",)"
         R"("dst":false,"latitude":28.616666666666667,"longitude":77.21666666666667,"city":"New Delhi",)"
         R"("state":"Delhi","country":"India","place":null,"zone_id":null,"utc_offset":"+05:30"})"},
        {"south and west at midnight, trimmed, first year",
         {.name = "  Nell ", .local = {1901, 1, 5, 0, 5}, .zoneSlot = 70, .daylightSaving = true,
          .latitude = {33, 30, true}, .longitude = {151, 0, true}, .city = " Sydney", .state = "NSW ",
          .country = "Australia"},
         R"({"name":"Nell","date":"1901-01-05","time":"00:05","time_known":true,"zone":70,"zone_text":"Yukon War Time,YWT,-8.0",)"
         R"("dst":true,"latitude":-33.5,"longitude":-151.0,"city":"Sydney","state":"NSW","country":"Australia",)"
         R"("place":null,"zone_id":null,"utc_offset":"-07:00"})"},
        {"zero south and zero west are no negative zero",
         {.name = "Z", .local = {2050, 12, 31, 23, 59}, .latitude = {0, 0, true}, .longitude = {0, 0, true},
          .city = "c", .state = "s", .country = "k"},
         R"({"name":"Z","date":"2050-12-31","time":"23:59","time_known":true,"zone":0,)"
         R"("zone_text":"Alaska/Hawaii Daylight Time,AHDT,-9.0","dst":false,"latitude":0.0,"longitude":0.0,)"
         R"("city":"c","state":"s","country":"k","place":null,"zone_id":null,"utc_offset":"-09:00"})"},
        {"birth time unknown: the chart of 12:00",
         {.name = "U", .local = {1975, 6, 15, 12, 0}, .zoneSlot = 34, .latitude = {28, 37},
          .longitude = {77, 13}, .city = "c", .state = "s", .country = "k", .timeKnown = false},
         R"({"name":"U","date":"1975-06-15","time":"12:00","time_known":false,"zone":34,)"
         R"("zone_text":"Indian Time, IST, +5.3","dst":false,"latitude":28.616666666666667,)"
         R"("longitude":77.21666666666667,"city":"c","state":"s","country":"k","place":null,"zone_id":null,)"
         R"("utc_offset":"+05:30"})"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ChartState state;
        LoadFixedLists(state);
        ChartWheel wheel;
        ASSERT_EQ(CalculateChartOfForm(FormOfBirth(c.birth), state, wheel), std::nullopt) << c.what;
        const Json chart = Json::parse(ChartJsonText(state, wheel));
        EXPECT_EQ(chart.begin().key(), "input") << c.what;
        EXPECT_EQ(chart.at("input").dump(), c.input) << c.what;
    }
}

// The input ends with the atlas's place and zone, and the offset east of UTC
// that the zone row and the box give together.
TEST(ChartJson, InputEndsWithThePlaceAndTheOffsetOfRowAndBox) {
    struct Case {
        int slot;
        bool dst;
        AtlasUse atlas;
        const char* tail;  // place, zone_id, utc_offset as one line
    };
    const Case cases[] = {
        {34, false, {}, R"("place":null,"zone_id":null,"utc_offset":"+05:30")"},
        {50, false, {}, R"("place":null,"zone_id":null,"utc_offset":"-03:30")"},  // Newfoundland
        {50, true, {}, R"("place":null,"zone_id":null,"utc_offset":"-02:30")"},
        {29, false, {}, R"("place":null,"zone_id":null,"utc_offset":"+00:00")"},  // GMT
        {67, true, {}, R"("place":null,"zone_id":null,"utc_offset":"+00:00")"},   // WAT with the box
        {32, true, {}, R"("place":null,"zone_id":null,"utc_offset":"-09:30")"},   // HST with the box
        {18,
         false,
         {"Chicago, Illinois, United States of America", "America/Chicago"},
         R"("place":"Chicago, Illinois, United States of America","zone_id":"America/Chicago","utc_offset":"-05:00")"},
        {21,
         true,
         {"Chicago, Illinois, United States of America", ""},  // CST with the box
         R"("place":"Chicago, Illinois, United States of America","zone_id":null,"utc_offset":"-05:00")"},
    };
    for (const Case& c : cases) {
        BirthData v = test::Asha();
        v.zoneSlot = c.slot;
        v.daylightSaving = c.dst;
        ChartState state;
        ChartWheel wheel;
        ASSERT_EQ(CalculateChartOf(v, state, wheel), std::nullopt) << c.slot;
        Json input = Json::parse(ChartJsonText(state, wheel, c.atlas)).at("input");
        Json tail = Json::object();
        for (const char* key : {"place", "zone_id", "utc_offset"}) tail[key] = input.at(key);
        EXPECT_EQ(tail.dump(), std::string("{") + c.tail + "}") << c.slot << " " << c.dst;
        EXPECT_EQ(std::prev(input.end()).key(), "utc_offset");
    }
}

// The houses' bodies are the wheel's, named by the state's labels, from the
// ascendant's sign on.
TEST(ChartJson, HouseBodiesComeFromTheWheel) {
    ChartState state;
    ChartWheel wheel;
    ASSERT_EQ(CalculateChartOf(test::CarlInBasel(), state, wheel), std::nullopt);
    wheel.firstHouseSign = 4;
    wheel.signBoxes = {};
    state.BodyLabel[2] = "Mercury (R) ";
    wheel.signBoxes[4] = {0b101, true};     // Sun, Mercury
    wheel.signBoxes[3] = {1u << 9, false};  // Pluto
    const Json houses = Json::parse(ChartJsonText(state, wheel)).at("houses");
    EXPECT_EQ(houses.at(0).at("bodies"), Json::parse(R"(["Sun","Mercury (R) ","Asc"])"));
    EXPECT_EQ(houses.at(11).at("bodies"), Json::parse(R"(["Pluto"])"));
    EXPECT_EQ(houses.at(1).at("bodies"), Json::array());
}

}  // namespace
}  // namespace qv
