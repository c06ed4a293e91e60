#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tools/report/report_run.h"

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

}  // namespace
}  // namespace qv::report
