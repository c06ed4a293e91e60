#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "chart/time_window.h"
#include "cli/report_run.h"

namespace qv::report {
namespace {

using Args = std::vector<std::string>;

struct Result {
    int status;
    std::string out, err;
};

Result RunWith(const Args& args) {
    std::ostringstream out, err;
    const int status = report::Run(args, out, err);
    return {status, out.str(), err.str()};
}

Args Chart(const std::string& date, const std::string& time, const std::string& zone, const std::string& lat,
           const std::string& lon) {
    return {"--name", "Test",  "--date", date,     "--time", time,      "--zone", zone,        "--lat",
            lat,      "--lon", lon,      "--city", "City",   "--state", "State",  "--country", "Country"};
}

TEST(ReportRun, RefusalsGoToStderrWithStatus2) {
    struct Case {
        Args args;
        std::string err;
    };
    const Case cases[] = {
        {{}, "Missing --date YYYY-MM-DD\n"},
        {{"--nope"}, "Unknown option \"--nope\" (see --help)\n"},
        {Chart("2001-02-29", "10:00", "29", "51:30N", "0:7W"), "Please Enter Correct Date Or Month!\n"},
        {Chart("1975-06-15", "10:00", "71", "51:30N", "0:7W"), "The time-zone slot must be a number from 0 to 70\n"},
        {Chart("1975-06-15", "10:00", "29", "51:30", "0:7W"), "Please Select Direction For The Latitude\n"},
    };
    for (const auto& c : cases) {
        const Result r = RunWith(c.args);
        EXPECT_EQ(r.status, kExitRefused);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

// The user's bytes in a message never reach the terminal raw.
TEST(ReportRun, ControlCharactersInMessagesAreEscaped) {
    Args badDate = Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E");
    badDate[3] = "\x1b[2J";
    Args badLat = Chart("1975-06-15", "14:30", "34", "\x07N", "77:13E");
    Args badFormat = Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E");
    badFormat.insert(badFormat.end(), {"--format", "te\x9bxt"});
    Args badSave = Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E");
    badSave.insert(badSave.end(), {"--save-reading", "/nonexistent/\r.qvn"});
    struct Case {
        Args args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"--bo\x1b]0;gus"}, kExitRefused, "Unknown option \"--bo\\x1b]0;gus\" (see --help)\n"},
        {{"ex\ntra"}, kExitRefused, "Unexpected argument \"ex\\x0atra\" (see --help)\n"},
        {badDate, kExitRefused, "Malformed date \"\\x1b[2J\" (expected YYYY-MM-DD)\n"},
        {badLat, kExitRefused, "Malformed latitude \"\\x07N\" (expected DEG:MIN followed by N or S)\n"},
        {badFormat, kExitRefused, "Unknown format \"te\\x9bxt\" (expected json or text)\n"},
        {{"--batch", "rows\x1b.csv"}, kExitRefused, "The batch file \"rows\\x1b.csv\" could not be opened\n"},
        {{"--reading", "a\x1b.qvn"}, kExitRefused, "Could not read \"a\\x1b.qvn\": No such file or directory.\n"},
        {badSave, kExitFailed, "Could not save \"/nonexistent/\\x0d.qvn\": No such file or directory.\n"},
    };
    for (const auto& c : cases) {
        const Result r = RunWith(c.args);
        EXPECT_EQ(r.status, c.status) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
    }
}

TEST(ReportRun, HelpPrintsTheUsage) {
    const Result r = RunWith({"--help"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out.rfind("Usage: quorvane-report --name TEXT", 0), 0u);
    EXPECT_NE(r.out.find("--format json|text"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST(ReportRun, JsonOfReferenceCharts) {
    struct Case {
        Args args;
        std::string ascendant, moon, moonSign, ut;
        double ascLongitude;
    };
    const Case cases[] = {
        {Chart("2000-01-01", "12:00", "29", "51:30N", "0:0W"), "24\u00B0 17' 52\" Ari", "13\u00B0 18' 57\" Sco",
         "Scorpio", "2000-01-01T12:00:00Z", 24.2979},
        {Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E"), "22\u00B0 9' 39\" Lib", "7\u00B0 2' 7\" Vir", "Virgo",
         "1975-06-15T09:00:00Z", 202.1610},
    };
    for (const auto& c : cases) {
        const Result r = RunWith(c.args);
        ASSERT_EQ(r.status, kExitOk) << r.err;
        EXPECT_EQ(r.err, "");
        const auto j = nlohmann::json::parse(r.out);
        EXPECT_EQ(j.at("ascendant_text"), c.ascendant);
        EXPECT_EQ(j.at("moon_text"), c.moon);
        EXPECT_EQ(j.at("moon_sign"), c.moonSign);
        EXPECT_EQ(j.at("universal_time"), c.ut);
        const auto& p = j.at("positions");
        ASSERT_EQ(p.size(), 11u);
        const char* names[] = {"Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
                               "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};
        for (std::size_t k = 0; k < 11; ++k) {
            EXPECT_EQ(p[k].at("name"), names[k]);
            const std::string position = p[k].at("position");
            EXPECT_EQ(position.size(), 9u) << position;
            EXPECT_TRUE(p[k].at("label").get<std::string>().starts_with(names[k]));
            EXPECT_TRUE(p[k].at("retrograde").is_boolean());
            const double lon = p[k].at("longitude");
            EXPECT_GE(lon, 0.0);
            EXPECT_LE(lon, 360.0);
        }
        for (std::size_t k : {0u, 1u, 10u}) EXPECT_FALSE(p[k].at("retrograde").get<bool>());
        EXPECT_NEAR(p[10].at("longitude").get<double>(), c.ascLongitude, 5e-5);
    }
}

TEST(ReportRun, J2000SunLongitude) {
    const Result r = RunWith(Chart("2000-01-01", "12:00", "29", "51:30N", "0:0W"));
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_NEAR(j.at("positions")[0].at("longitude").get<double>(), 280.380, 5e-4);
    EXPECT_EQ(j.at("positions")[0].at("position"), "10 Cap 22");
}

TEST(ReportRun, MadridUsesTheSignedZone) {
    struct Case {
        bool dst;
        std::string ut;
    };
    for (const Case& c : {Case{false, "1980-03-10T07:00:00Z"}, Case{true, "1980-03-10T06:00:00Z"}}) {
        Args a = Chart("1980-03-10", "08:00", "20", "40:25N", "3:42W");
        if (c.dst) a.push_back("--dst");
        const Result r = RunWith(a);
        ASSERT_EQ(r.status, kExitOk) << r.err;
        EXPECT_EQ(nlohmann::json::parse(r.out).at("universal_time"), c.ut);
    }
}

TEST(ReportRun, TextFormatIsTheChartExport) {
    Args a = Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E");
    a.insert(a.end(), {"--format", "text"});
    const Result r = RunWith(a);
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out.rfind("Name: Test\r\n", 0), 0u);
    EXPECT_NE(r.out.find("22 Lib 09"), std::string::npos);
}

TEST(ReportRun, UnwritableOutputIsAFailure) {
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(report::Run(Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E"), out, err), kExitFailed);
    EXPECT_NE(err.str(), "");
}

TEST(ReportRun, InvalidUtf8InTheNameStillGivesJson) {
    Args a = Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E");
    a[1] = "\xff\xfe";
    const Result r = RunWith(a);
    ASSERT_EQ(r.status, kExitOk);
    EXPECT_TRUE(nlohmann::json::accept(r.out));
}

// What makes two charts of the command the same: every house's sign and
// bodies (so every body's sign and the ascendant's) and the marks.
nlohmann::json FaceOfJson(const nlohmann::json& chart) {
    nlohmann::json face = chart["houses"];
    for (const auto& p : chart["positions"]) face.push_back(p["retrograde"]);
    return face;
}

// A chart at `minutes` from "YYYY-MM-DDTHH:MM"; null beyond the years the
// program calculates.
nlohmann::json ChartAt(Args args, const std::string& iso, int minutes) {
    const LocalDateTime at =
        ShiftedClock({std::stoi(iso.substr(0, 4)), std::stoi(iso.substr(5, 2)), std::stoi(iso.substr(8, 2)),
                      std::stoi(iso.substr(11, 2)), std::stoi(iso.substr(14, 2))},
                     minutes);
    if (at.year < 1901 || at.year > 2050) return nullptr;
    char date[16], time[8];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", at.year, at.month, at.day);
    std::snprintf(time, sizeof time, "%02d:%02d", at.hour, at.minute);
    args[3] = date;
    args[5] = time;
    const Result r = RunWith(args);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    return nlohmann::json::parse(r.out);
}

// The window's ends hold the chart; one minute beyond each, the chart differs.
TEST(ReportRun, TimeWindowHoldsToItsEndsAndNoFurther) {
    const Args births[] = {
        Chart("1975-06-15", "14:30", "34", "28:37N", "77:13E"),  Chart("1962-02-04", "07:00", "21", "41:51N", "87:39W"),
        Chart("1999-12-31", "23:50", "29", "51:30N", "0:7W"),    Chart("1990-12-21", "11:00", "29", "78:13N", "15:38E"),
        Chart("2050-12-31", "22:00", "29", "33:52S", "151:12E"), Chart("1984-03-09", "05:17", "0", "64:50N", "147:43W"),
    };
    for (const Args& birth : births) {
        Args asked = birth;
        asked.push_back("--time-window");
        const Result r = RunWith(asked);
        ASSERT_EQ(r.status, kExitOk) << r.err;
        const auto chart = nlohmann::json::parse(r.out);
        ASSERT_TRUE(chart.contains("time_window"));
        const auto& window = chart["time_window"];
        const auto face = FaceOfJson(chart);
        for (const char* side : {"from", "until"}) {
            const int outward = std::string(side) == "from" ? -1 : 1;
            const auto& edge = window[side];
            EXPECT_EQ(edge.is_null(), window[outward < 0 ? "before" : "after"].is_null());
            if (edge.is_null()) continue;
            EXPECT_EQ(FaceOfJson(ChartAt(birth, edge, 0)), face) << birth[3] << " " << birth[5] << " " << side;
            const auto beyond = ChartAt(birth, edge, outward);
            if (!beyond.is_null()) EXPECT_NE(FaceOfJson(beyond), face) << birth[3] << " " << birth[5] << " " << side;
        }
        ASSERT_EQ(window["bodies"].size(), 11u);
        EXPECT_FALSE(nlohmann::json::parse(RunWith(birth).out).contains("time_window"));
    }
}

TEST(ReportRun, UnknownTimeIsTheChartOfNoonMarkedUnknown) {
    const Args noon = Chart("1975-06-15", "12:00", "34", "28:37N", "77:13E");
    auto expected = nlohmann::json::parse(RunWith(noon).out);
    expected["input"]["time_known"] = false;
    // The aspects of noon, those of the ascendant resting on the unknown time.
    for (auto& aspect : expected["aspects"]) aspect["rests_on_time"] = aspect["b"] == "Asc";
    for (const char* word : {"unknown", "Unknown"}) {
        const Result r = RunWith(Chart("1975-06-15", word, "34", "28:37N", "77:13E"));
        ASSERT_EQ(r.status, kExitOk) << r.err;
        auto got = nlohmann::json::parse(r.out);
        // Said of a birth time not known only: what rests on the time.
        EXPECT_EQ(got["rests_on_time"]["ascendant"], true) << word;
        got.erase("rests_on_time");
        // The Moon stays in one sign all that day or not: its aspects rest on
        // the time as well only when it does not.
        for (auto& aspect : got["aspects"])
            if ((aspect["a"] == "Moon" || aspect["b"] == "Moon") && aspect["b"] != "Asc")
                aspect["rests_on_time"] = false;
        EXPECT_EQ(got, expected) << word;
    }
    EXPECT_EQ(nlohmann::json::parse(RunWith(noon).out)["input"]["time_known"], true);
    for (const char* option : {"--time-window", "--aspects"}) {
        Args text = noon;
        text.insert(text.end(), {"--format", "text", option});
        const Result refused = RunWith(text);
        EXPECT_EQ(refused.status, kExitRefused);
        EXPECT_EQ(refused.err, std::string(option) + " is written into the JSON; leave out --format text\n");
    }
}

}  // namespace
}  // namespace qv::report
