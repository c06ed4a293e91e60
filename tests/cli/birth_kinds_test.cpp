// quorvane-report with the kinds of birth the atlas brings: the
// daylight-saving box as summer time in the zones that file winter as a
// negative daylight time, places without a state, a day the clocks jumped
// over, the time window on the place's clock, and coordinates given to
// --find-place.
#include <gtest/gtest.h>

#include <fstream>
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

Json ChartOf(const Args& args) {
    const Result r = RunWith(args);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    return r.status == kExitOk ? Json::parse(r.out) : Json();
}

// The box means summer time, an hour ahead of the place's winter time, in
// every zone: a box left to the atlas takes the place's clock and ticks only
// for summer time; a given box that agrees with the clock gives the clock,
// one that does not gives winter time or winter time and an hour.
TEST(SummerTime, TheBoxMeansSummerTimeAlsoWhereWinterIsNegativeDaylightTime) {
    struct Case {
        const char* place;
        const char* date;
        const char* atlas;  // the offset without a box given, and the box it ticks
        bool atlasBox;
        const char* unticked;  // with dst 0
        const char* ticked;    // with dst 1
    };
    const Case cases[] = {
        // Ireland: GMT in winter (negative daylight time in the tz database), IST +1 in summer.
        {"Dublin, Ireland", "1990-01-15", "+00:00", false, "+00:00", "+01:00"},
        {"Dublin, Ireland", "1990-06-15", "+01:00", true, "+00:00", "+01:00"},
        // Namibia 1994-2017: WAT +1 in winter (negative daylight time), CAT +2 in summer.
        {"Windhoek", "2000-07-15", "+01:00", false, "+01:00", "+02:00"},
        {"Windhoek", "2000-01-15", "+02:00", true, "+01:00", "+02:00"},
        // Morocco since 2018: +1, and +0 in Ramadan, filed as negative daylight time.
        {"Casablanca", "2020-01-15", "+01:00", true, "+00:00", "+01:00"},
        {"Casablanca", "2020-05-01", "+00:00", false, "+00:00", "+01:00"},
        // A zone whose summer is daylight time, for comparison.
        {"Chicago, Illinois", "1962-01-15", "-06:00", false, "-06:00", "-05:00"},
        {"Chicago, Illinois", "1962-06-15", "-05:00", false, "-06:00", "-05:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.place) + " " + c.date);
        const Args birth = {"--name", "Test", "--date", c.date, "--time", "12:00", "--place", c.place};
        const Json atlas = ChartOf(birth).at("input");
        EXPECT_EQ(atlas.at("utc_offset"), c.atlas);
        // A box the atlas ticks stands for summer time; a daylight row (CDT) is summer time without it.
        if (c.atlasBox) EXPECT_TRUE(atlas.at("dst").get<bool>());
        EXPECT_EQ(ChartOf(birth).at("input").at("utc_offset"), c.atlas);

        Args ticked = birth;
        ticked.push_back("--dst");
        EXPECT_EQ(ChartOf(ticked).at("input").at("utc_offset"), c.ticked);
        EXPECT_TRUE(ChartOf(ticked).at("input").at("dst").get<bool>());
    }
}

// The batch's dst column: 0 is the place's winter time, also in Dublin.
TEST(SummerTime, TheBatchsUntickedBoxIsWinterTime) {
    const std::string dir = testing::TempDir();
    const std::string file = dir + "/summer_time_batch.csv";
    {
        std::ofstream csv(file);
        csv << "name,year,month,day,hour,minute,dst,place\n"
               "A,1990,1,15,12,0,0,\"Dublin, Ireland\"\n"
               "B,1990,6,15,12,0,0,\"Dublin, Ireland\"\n"
               "C,1990,6,15,12,0,1,\"Dublin, Ireland\"\n"
               "D,2000,1,15,12,0,0,Windhoek\n";
    }
    const Result r = RunWith({"--batch", file});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    std::istringstream lines(r.out);
    const char* offsets[] = {"+00:00", "+00:00", "+01:00", "+01:00"};
    std::string line;
    for (const char* offset : offsets) {
        ASSERT_TRUE(std::getline(lines, line));
        const Json json = Json::parse(line);
        ASSERT_TRUE(json.contains("input")) << line;
        EXPECT_EQ(json.at("input").at("utc_offset"), offset) << line;
    }
}

// Places the gazetteer files without a state chart with the country's name
// in State, through --place and the batch.
TEST(PlacesWithoutState, AreChartedWithTheCountrysName) {
    for (const char* place : {"Singapore", "Macau", "Willemstad", "Oranjestad", "Gibraltar"}) {
        SCOPED_TRACE(place);
        const Json input =
            ChartOf({"--name", "Test", "--date", "1990-01-15", "--time", "12:00", "--place", place}).at("input");
        EXPECT_FALSE(input.at("state").get<std::string>().empty());
        EXPECT_EQ(input.at("state"), input.at("country"));
    }
}

// A day the clocks jumped over is refused as a day, the time known or not.
TEST(SkippedDay, ApiasMissingDayIsRefusedAsADay) {
    for (const char* time : {"unknown", "12:00", "00:00"}) {
        const Result r = RunWith({"--name", "Test", "--date", "2011-12-30", "--time", time, "--place", "Apia"});
        EXPECT_EQ(r.status, kExitRefused) << time;
        EXPECT_EQ(r.err.rfind("December 30, 2011 did not exist in Apia: the clocks moved forward a whole day", 0), 0u)
            << r.err;
        EXPECT_EQ(r.err.find("12:00"), std::string::npos) << r.err;
    }
    // The days around it existed.
    EXPECT_EQ(RunWith({"--name", "Test", "--date", "2011-12-31", "--time", "unknown", "--place", "Apia"}).status,
              kExitOk);
}

// The window's edges are the place's wall-clock times, each with its offset;
// a side the range of dates cuts ends there and says so.
TEST(TimeWindowOnThePlacesClock, EdgesAcrossAChangeOfTheClock) {
    struct Case {
        const char* place;
        const char* date;
        const char* time;
        const char* until;
        const char* untilOffset;
        const char* fromOffset;
    };
    const Case cases[] = {
        // Berlin went from CET to CEST at 02:00 that night: 03:08 on the place's clock, not 02:08.
        {"Berlin, Germany", "2000-03-26", "01:30", "2000-03-26T03:08", "+02:00", "+01:00"},
        // New York went back from EDT to EST at 02:00.
        {"New York, New York", "1975-10-26", "00:00", "1975-10-26T01:08", "-05:00", "-04:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        const Json w =
            ChartOf({"--name", "Test", "--date", c.date, "--time", c.time, "--place", c.place, "--time-window"})
                .at("time_window");
        EXPECT_EQ(w.at("until"), c.until);
        EXPECT_EQ(w.at("until_utc_offset"), c.untilOffset);
        EXPECT_EQ(w.at("from_utc_offset"), c.fromOffset);
    }

    // Without a place the edges keep the birth's offset, as before.
    const Json fixed =
        ChartOf({"--name", "Test", "--date", "2000-03-26", "--time", "01:30", "--zone", "20", "--lat", "52:31N",
                 "--lon", "13:24E", "--city", "Berlin", "--state", "Berlin", "--country", "Germany", "--time-window"})
            .at("time_window");
    EXPECT_EQ(fixed.at("until"), "2000-03-26T02:08");
    EXPECT_EQ(fixed.at("until_utc_offset"), "+01:00");

    // The first and the last minute the program calculates.
    const Args ends[] = {
        {"--name", "Test", "--date", "1901-01-01", "--time", "00:30", "--zone", "29", "--lat", "51:30N", "--lon",
         "0:07W", "--city", "L", "--state", "L", "--country", "E", "--time-window"},
        {"--name", "Test", "--date", "2050-12-31", "--time", "23:30", "--zone", "29", "--lat", "51:30N", "--lon",
         "0:07W", "--city", "L", "--state", "L", "--country", "E", "--time-window"},
    };
    const Json first = ChartOf(ends[0]).at("time_window");
    const Json last = ChartOf(ends[1]).at("time_window");
    // Whichever side is cut says so; an uncut side keeps its event.
    if (first.at("before").is_string() && first.at("from") == "1901-01-01T00:00")
        EXPECT_EQ(first.at("before"), "the dates the program calculates begin at 1901-01-01 00:00");
    EXPECT_FALSE(first.at("from").is_null());
    EXPECT_FALSE(last.at("until").is_null());
    if (last.at("until") == "2050-12-31T23:59")
        EXPECT_EQ(last.at("after"), "the dates the program calculates end after 2050-12-31 23:59");
}

// Coordinates given to --find-place are checked as --lat and --lon are.
TEST(FindPlaceCoordinates, OutOfRangeOrMalformedAreRefused) {
    struct Case {
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {"91:00N,11:04E", "Latitude must be from 0 to 90 degrees"},
        {"47:60N,11:04E", "Minutes must be from 0 to 59"},
        {"47:00N,181:00E", "Longitude must be from 0 to 180 degrees"},
        {"90:01S,11:04E", "Latitude must be from 0 to 90 degrees"},
        {"\u221247:35N,11:04E", "Malformed coordinates"},
        {"47.5N,11.0E", "Malformed coordinates"},
        {"47:35N", "Malformed coordinates"},
        {"47:35N,11:04E,3:00E", "Malformed coordinates"},
        {"47:35X,11:04E", "Malformed coordinates"},
    };
    for (const Case& c : cases) {
        const Result r = RunWith({"--find-place", c.text});
        EXPECT_EQ(r.status, kExitRefused) << c.text;
        EXPECT_EQ(r.out, "") << c.text;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.text << ": " << r.err;
    }
    // In range, and a place's name, still answer.
    EXPECT_EQ(RunWith({"--find-place", "47:35n, 11:04e"}).status, kExitOk);
    EXPECT_EQ(RunWith({"--find-place", "90:00S,180:00W"}).status, kExitOk);
    EXPECT_EQ(RunWith({"--find-place", "Sao Paulo"}).status, kExitOk);
}

}  // namespace
}  // namespace qv::report
