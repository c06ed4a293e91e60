#include "tools/report/chart_json.h"

#include "astro/universal_time.h"

namespace qv::report {

nlohmann::ordered_json ChartJson(const ChartState& state) {
    nlohmann::ordered_json chart;
    chart["ascendant_text"] = state.AscendantText;
    chart["moon_text"] = state.MoonText;
    chart["moon_sign"] = state.MoonSignName;
    chart["universal_time"] = FormatIsoMinute(UniversalMoment(state));
    nlohmann::ordered_json positions = nlohmann::ordered_json::array();
    for (std::size_t slot = 0; slot < state.BodyLongitude.size(); ++slot) {
        nlohmann::ordered_json p;
        p["name"] = state.PositionName[slot];
        p["position"] = state.PlanetPosition[slot];
        p["longitude"] = state.BodyLongitude[slot];
        p["label"] = state.BodyLabel[slot];
        // Slots 2..9 are Mercury … Pluto, flags 0..7.
        p["retrograde"] = slot >= 2 && slot <= 9 && state.RetrogradeFlag[slot - 2];
        positions.push_back(std::move(p));
    }
    chart["positions"] = std::move(positions);
    return chart;
}

std::string ChartJsonText(const ChartState& state) {
    return ChartJson(state).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace qv::report
