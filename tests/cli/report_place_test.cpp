// quorvane-report with the atlas: --place, what wins over it, its refusals,
// and --find-place.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/report_run.h"

namespace qv::report {
namespace {

using Args = std::vector<std::string>;
using Json = nlohmann::ordered_json;

struct Result {
    int status;
    std::string out, err;
};

Result RunWith(const Args& args) {
    std::ostringstream out, err;
    const int status = Run(args, out, err);
    return {status, out.str(), err.str()};
}

Args Birth(const std::string& place, const std::string& date, const std::string& time, const Args& more = {}) {
    Args args = {"--name", "Test", "--date", date, "--time", time, "--place", place};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The input object of a chart the command printed.
Json Input(const Args& args) {
    const Result r = RunWith(args);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    return r.status == kExitOk ? Json::parse(r.out).at("input") : Json();
}

// The best match gives coordinates to the minute, names, and the row and box
// of its clock at the birth moment; the offsets are the tz database's.
TEST(ReportPlace, ThePlaceGivesCoordinatesNamesZoneAndBox) {
    struct Case {
        const char* place;
        const char* date;
        const char* time;
        int zone;
        bool dst;
        const char* offset;
        double latitude, longitude;
        const char* label;
        const char* zoneId;
    };
    const Case cases[] = {
        {"Chicago, Illinois", "1962-06-15", "14:30", 18, false, "-05:00", 41.85, -87.65,
         "Chicago, Illinois, United States of America", "America/Chicago"},  // CDT
        {"Chicago", "1962-01-15", "14:30", 21, false, "-06:00", 41.85, -87.65,
         "Chicago, Illinois, United States of America", "America/Chicago"},  // CST
        {"London", "1970-06-15", "12:00", 16, false, "+01:00", 51.5 + 1 / 60.0, -(8 / 60.0),
         "London, England, United Kingdom", "Europe/London"},  // British Standard Time, 1968-71
        {"Kolkata", "1942-12-01", "12:00", 34, true, "+06:30", 22 + 34 / 60.0, 88 + 22 / 60.0,
         "Kolkata, State of West Bengal, India", "Asia/Kolkata"},  // war time
        {"Sao Paulo", "1990-01-15", "12:00", 14, true, "-02:00", -23.55, -(46 + 38 / 60.0),
         "São Paulo, São Paulo, Brazil", "America/Sao_Paulo"},  // summer time, south
        {"Honolulu", "1940-06-01", "12:00", 32, false, "-10:30", 21.3, -157.85,
         "Honolulu, Hawaii, United States of America", "Pacific/Honolulu"},
        // 1:30 came twice on 7 November 2021: the first, still EDT, is taken.
        {"New York", "2021-11-07", "01:30", 24, false, "-04:00", 40 + 43 / 60.0, -74.0,
         "New York, New York, United States of America", "America/New_York"},
    };
    for (const Case& c : cases) {
        const Json in = Input(Birth(c.place, c.date, c.time));
        EXPECT_EQ(in.value("zone", -1), c.zone) << c.place;
        EXPECT_EQ(in.value("dst", !c.dst), c.dst) << c.place;
        EXPECT_EQ(in.value("utc_offset", ""), c.offset) << c.place;
        EXPECT_NEAR(in.value("latitude", 0.0), c.latitude, 1e-9) << c.place;
        EXPECT_NEAR(in.value("longitude", 0.0), c.longitude, 1e-9) << c.place;
        EXPECT_EQ(in.value("place", ""), c.label) << c.place;
        EXPECT_EQ(in.value("zone_id", ""), c.zoneId) << c.place;
        EXPECT_EQ(in.value("city", "") + ", " + in.value("state", "") + ", " + in.value("country", ""), c.label);
    }
}

// Options given beside --place win; --dst alone takes the row of the place's
// standard time, --zone alone takes the box the offset needs.
TEST(ReportPlace, GivenOptionsWinOverTheAtlas) {
    const char* summer = "1962-06-15";
    struct Case {
        const char* what;
        Args more;
        const char* key;
        Json value;
    };
    const Case cases[] = {
        {"latitude", {"--lat", "40:0N"}, "latitude", 40.0},
        {"longitude", {"--lon", "80:30W"}, "longitude", -80.5},
        {"city", {"--city", "Cicero"}, "city", "Cicero"},
        {"state", {"--state", "IL"}, "state", "IL"},
        {"country", {"--country", "USA"}, "country", "USA"},
        {"the label stays the atlas's", {"--city", "Cicero"}, "place", "Chicago, Illinois, United States of America"},
        {"zone", {"--zone", "21"}, "zone", 21},
        {"zone: the box the offset needs", {"--zone", "21"}, "dst", true},
        {"zone: the offset kept", {"--zone", "21"}, "utc_offset", "-05:00"},
        {"zone that needs no box", {"--zone", "27"}, "dst", false},  // EST is UTC-5 too
        {"dst: the standard row", {"--dst"}, "zone", 21},
        {"dst: the box", {"--dst"}, "dst", true},
        {"zone and dst: the clock is not asked", {"--zone", "18", "--dst"}, "zone_id", nullptr},
        {"zone and dst: as given", {"--zone", "18", "--dst"}, "utc_offset", "-04:00"},
    };
    for (const Case& c : cases) {
        const Json in = Input(Birth("Chicago", summer, "14:30", c.more));
        EXPECT_EQ(in.contains(c.key) ? in.at(c.key) : Json("<missing>"), c.value) << c.what;
    }
    // A winter birth with the box given: the user's word, one hour ahead.
    EXPECT_EQ(Input(Birth("Chicago", "1962-01-15", "14:30", {"--dst"})).at("utc_offset"), "-05:00");
}

TEST(ReportPlace, RefusalsNameWhatTheAtlasFound) {
    struct Case {
        const char* what;
        Args args;
        std::string err;
    };
    const Case cases[] = {
        {"not found", Birth("Xq\x1bzz", "1962-06-15", "14:30"), "No place in the atlas matches \"Xq\\x1bzz\"\n"},
        {"a time that did not exist", Birth("New York", "2021-03-14", "02:30"),
         "2:30 on March 14, 2021 did not exist in New York: the clocks moved forward that night (EST to EDT). "
         "Please check the time of birth.\n"},
        {"an empty place", Birth("", "2000-06-01", "12:00"), "Option --place needs a place name\n"},
        {"the date first", Birth("Kathmandu", "2000-13-01", "12:00"), "The month must be from 1 to 12\n"},
        {"then the given zone", Birth("Chicago", "2000-06-01", "12:00", {"--zone", "71"}),
         "The time-zone slot must be a number from 0 to 70\n"},
        {"the form's checks last", Birth("Chicago", "2000-06-01", "12:00", {"--lat", "95:0N"}),
         "Latitude must be from 0 to 90 degrees\n"},
        {"not with a reading",
         {"--reading", "a.qvn", "--place", "Chicago"},
         "--reading takes the birth data from the file; leave out the other birth-data options\n"},
    };
    for (const Case& c : cases) {
        const Result r = RunWith(c.args);
        EXPECT_EQ(r.status, kExitRefused) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
        EXPECT_EQ(r.err, c.err) << c.what;
    }
    // With --zone and --dst the atlas's clock is not asked, so nothing is refused.
    EXPECT_EQ(RunWith(Birth("Kathmandu", "2000-06-01", "12:00", {"--zone", "34", "--dst"})).status, kExitOk);
}

// A clock no row gives is taken to the second: the offset with its seconds,
// no row, the Universal Time to the second; with --dst, the place's standard
// time beside the box.
TEST(ReportPlace, ClocksNoRowGivesAreTakenToTheSecond) {
    struct Case {
        Args args;
        const char* offset;
        bool dst;
        const char* universal;
    };
    const Case cases[] = {
        {Birth("Moscow", "1915-06-01", "12:00"), "+02:30:17", false, "1915-06-01T09:29:43Z"},
        {Birth("Paris", "1905-03-20", "08:15"), "+00:09:21", false, "1905-03-20T08:05:39Z"},
        {Birth("Detroit", "1901-12-31", "20:00"), "-05:32:11", false, "1902-01-01T01:32:11Z"},
        {Birth("Kathmandu", "2000-06-01", "12:00"), "+05:45", false, "2000-06-01T06:15:00Z"},
        {Birth("Kathmandu", "2000-06-01", "12:00", {"--dst"}), "+06:45", true, "2000-06-01T05:15:00Z"},
    };
    for (const Case& c : cases) {
        const Result r = RunWith(c.args);
        ASSERT_EQ(r.status, kExitOk) << r.err;
        const Json chart = Json::parse(r.out);
        const Json& in = chart.at("input");
        EXPECT_EQ(in.at("utc_offset"), c.offset) << c.offset;
        EXPECT_EQ(in.at("dst"), c.dst) << c.offset;
        EXPECT_EQ(chart.at("universal_time"), c.universal) << c.offset;
        EXPECT_TRUE(in.at("zone").is_null()) << c.offset;
        EXPECT_EQ(in.at("zone_text"), "") << c.offset;
    }
}

TEST(ReportPlace, FindPlacePrintsTheMatchesAsJson) {
    Result r = RunWith({"--find-place", "Sao Paulo", "--limit", "2"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const Json list = Json::parse(r.out);
    // The city first; a town of its state may follow ("Sao" and the state "Paulo").
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(1).at("state"), "São Paulo");
    EXPECT_EQ(list.at(0), Json::parse(R"({"name":"São Paulo","state":"São Paulo","country":"Brazil",)"
                                      R"("latitude":-23.5475,"longitude":-46.63611,"zone_id":"America/Sao_Paulo",)"
                                      R"("label":"São Paulo, São Paulo, Brazil"})"));
    EXPECT_EQ(Json::parse(RunWith({"--find-place", "Chic", "--limit", "3"}).out).size(), 3u);
    EXPECT_EQ(Json::parse(RunWith({"--find-place", "Chic"}).out).size(), 10u);  // the default limit
    EXPECT_EQ(RunWith({"--find-place", "Xqzzy"}).out, "[]\n");

    // Coordinates: the places within 100 km, nearest first, with the distance.
    const Json near = Json::parse(RunWith({"--find-place", "47:35N,11:04E", "--limit", "3"}).out);
    ASSERT_EQ(near.size(), 3u);
    EXPECT_EQ(near.at(0).at("name"), "Garmisch-Partenkirchen");
    EXPECT_EQ(near.at(0).at("zone_id"), "Europe/Berlin");
    EXPECT_EQ(near.at(0).at("distance_km"), 10.4);
    EXPECT_LE(near.at(0).at("distance_km").get<double>(), near.at(2).at("distance_km").get<double>());
    EXPECT_EQ(RunWith({"--find-place", "0:00N, 30:00W"}).out, "[]\n");  // the Atlantic

    struct Case {
        Args args;
        std::string err;
    };
    const Case refused[] = {
        {{"--find-place", "Chic", "--name", "A"},
         "--find-place prints the atlas's places only; leave out the other options but --limit\n"},
        {{"--find-place", ""}, "Option --find-place needs a place name\n"},
        {{"--find-place", "Chic", "--limit", "0"}, "The limit must be from 1 to 100\n"},
        {{"--find-place", "Chic", "--limit", "101"}, "The limit must be from 1 to 100\n"},
        {{"--limit", "5"}, "--limit works with --find-place only\n"},
    };
    for (const Case& c : refused) {
        r = RunWith(c.args);
        EXPECT_EQ(r.status, kExitRefused) << c.err;
        EXPECT_EQ(r.err, c.err);
    }
}

}  // namespace
}  // namespace qv::report
