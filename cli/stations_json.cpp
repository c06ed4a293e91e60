#include "cli/stations_json.h"

#include "retro/stations.h"

namespace qv::report {

nlohmann::ordered_json StationsJson() {
    nlohmann::ordered_json tables = nlohmann::ordered_json::object();
    for (std::size_t p = 0; p < kStationPlanetCount; ++p) {
        const auto planet = static_cast<StationPlanet>(p);
        const StationLists lists = LoadStations(planet);
        nlohmann::ordered_json periods = nlohmann::ordered_json::array();
        for (std::size_t k = 0; k < lists.PeriodCount(); ++k) {
            periods.push_back(nlohmann::ordered_json::array({std::string(lists.start[k]), std::string(lists.end[k])}));
        }
        tables[std::string(StationPlanetName(planet))] = std::move(periods);
    }
    return tables;
}

std::string StationsJsonText() { return StationsJson().dump(2) + "\n"; }

}  // namespace qv::report
