#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/report_run.h"
#include "retro/stations.h"

namespace qv::report {
namespace {

struct Result {
    int status;
    std::string out, err;
};

Result RunWith(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = report::Run(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(ReportStations, PrintsEveryPlanetsPeriodsInOrder) {
    const Result r = RunWith({"--stations"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    const auto json = nlohmann::ordered_json::parse(r.out);
    ASSERT_TRUE(json.is_object());
    std::vector<std::string> keys;
    for (const auto& item : json.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune",
                                              "Pluto"}));
    for (std::size_t p = 0; p < kStationPlanetCount; ++p) {
        const auto planet = static_cast<StationPlanet>(p);
        const std::string name(StationPlanetName(planet));
        const StationLists lists = LoadStations(planet);
        const auto& periods = json.at(name);
        ASSERT_EQ(periods.size(), lists.PeriodCount()) << name;  // no spare empty slot
        for (std::size_t k = 0; k < periods.size(); ++k) {
            ASSERT_EQ(periods[k].size(), 2u);
            EXPECT_EQ(periods[k][0].get<std::string>(), lists.start[k]);
            EXPECT_EQ(periods[k][1].get<std::string>(), lists.end[k]);
        }
    }
    EXPECT_EQ(json["Pluto"][0][0], "9,16,1899,5,24,");
}

TEST(ReportStations, RefusesToBeMixedWithAChart) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--stations", "--date", "2000-03-01"},
          std::vector<std::string>{"--format", "text", "--stations"}, std::vector<std::string>{"--stations", "extra"},
          std::vector<std::string>{"--stations=yes"}}) {
        const Result r = RunWith(args);
        EXPECT_EQ(r.status, kExitRefused) << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
}

}  // namespace
}  // namespace qv::report
