// Batch files with a place column: the atlas fills each row as --place does.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/report_run.h"

namespace qv::report {
namespace {

using Json = nlohmann::ordered_json;
using Args = std::vector<std::string>;

struct Output {
    int status;
    std::vector<Json> lines;
    std::string out, err;
};

Output Batch(const std::string& csv, int jobs = 1) {
    std::istringstream in(csv);
    std::ostringstream out, err;
    BatchSettings settings;
    settings.jobs = jobs;
    Output r{RunBatch(in, out, err, settings), {}, out.str(), err.str()};
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) r.lines.push_back(Json::parse(line));
    return r;
}

// The single-chart command's line: the chart object without "aspects" (a
// batch line has them only with --aspects), or {"error": message}.
Json Single(const Args& args) {
    std::ostringstream out, err;
    if (Run(args, out, err) == kExitOk) {
        Json chart = Json::parse(out.str());
        chart.erase("aspects");
        return chart;
    }
    std::string message = err.str();
    message.pop_back();
    return Json{{"error", message}};
}

// Each row, with or without the columns that win over the atlas, is the
// chart (or the refusal) of the same options with --place, on any number of jobs.
TEST(BatchPlace, RowsAreTheCommandsChartsWithPlace) {
    struct Case {
        const char* row;  // name,year,month,day,hour,minute,place,zone,dst,lat_deg,lat_min,lat_dir,city
        Args args;
    };
    const Args date = {"--date", "1962-06-15", "--time", "14:30"};
    const auto with = [&](const char* name, const char* place, Args more) {
        Args a = {"--name", name, "--place", place};
        a.insert(a.end(), date.begin(), date.end());
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    const Case cases[] = {
        {"Ann,1962,6,15,14,30,\"Chicago, Illinois\",,,,,,", with("Ann", "Chicago, Illinois", {})},
        {"Bo,1962,6,15,14,30,London,,,,,,", with("Bo", "London", {})},
        {"Cy,1962,6,15,14,30,Chicago,21,,,,,", with("Cy", "Chicago", {"--zone", "21"})},
        {"Di,1962,6,15,14,30,Chicago,,1,,,,", with("Di", "Chicago", {"--dst"})},
        {"Ed,1962,6,15,14,30,Chicago,,,40,0,N,Cicero", with("Ed", "Chicago", {"--lat", "40:0N", "--city", "Cicero"})},
        {"Fay,1962,6,15,14,30,Xqzzy,,,,,,", with("Fay", "Xqzzy", {})},
        {"Gil,1962,6,15,14,30,Kathmandu,,,,,,", with("Gil", "Kathmandu", {})},
        {"Hal,1962,6,15,14,30,Chicago,,,40,,N,", with("Hal", "Chicago", {"--lat", "40:N"})},
        {"Ida,1962,6,15,14,30,Chicago,99,,,,,", with("Ida", "Chicago", {"--zone", "99"})},
    };
    std::string csv = "name,year,month,day,hour,minute,place,zone,dst,lat_deg,lat_min,lat_dir,city\n";
    for (const Case& c : cases) csv += std::string(c.row) + "\n";
    const Output one = Batch(csv);
    EXPECT_EQ(one.status, kExitSomeRowsRefused) << one.err;
    ASSERT_EQ(one.lines.size(), std::size(cases));
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        Json line = one.lines[k];
        EXPECT_EQ(line.at("row"), k + 1);
        line.erase("row");
        EXPECT_EQ(line, Single(cases[k].args)) << cases[k].row;
    }
    EXPECT_EQ(Batch(csv, 2).out, one.out);
}

// A file with the eight columns and a place column: a row with an empty place
// is an ordinary row; without the eight columns it is refused.
TEST(BatchPlace, HeadersAndRowsWithoutAPlace) {
    const std::string classic =
        "name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,lon_dir,dst,city,state,country";
    struct Case {
        const char* what;
        std::string csv;
        int status;
        std::string outcome;  // the first row's error, "chart", or the file's refusal
    };
    const Case cases[] = {
        {"a classic row beside the place column",
         classic + ",place\nAsha,1975,6,15,14,30,34,28,37,N,77,13,E,0,Delhi,D,India,\n", kExitOk, "chart"},
        {"a row without a place in a short file", "name,year,month,day,hour,minute,place\nAsha,1975,6,15,14,30,\n",
         kExitSomeRowsRefused, "The place field is empty"},
        {"the date is still needed", "name,month,day,hour,minute,place\n", kExitRefused,
         "The header has no year column. The first line must be the header " + classic},
        {"an angle comes whole", "name,year,month,day,hour,minute,place,lat_deg\n", kExitRefused,
         "The columns lat_deg, lat_min and lat_dir come together"},
        {"without a place, all eight", "name,year,month,day,hour,minute,city,state,country\n", kExitRefused,
         "The header has no zone column. The first line must be the header " + classic},
    };
    for (const Case& c : cases) {
        const Output r = Batch(c.csv);
        EXPECT_EQ(r.status, c.status) << c.what;
        if (c.status == kExitRefused) {
            EXPECT_EQ(r.err, c.outcome + "\n") << c.what;
            continue;
        }
        ASSERT_EQ(r.lines.size(), 1u) << c.what;
        EXPECT_EQ(r.lines[0].contains("error") ? r.lines[0].at("error").get<std::string>() : "chart", c.outcome)
            << c.what;
    }
}

}  // namespace
}  // namespace qv::report
