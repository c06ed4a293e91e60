#include "tools/report/chart_json.h"

#include "analysis/elements.h"
#include "app/chart_wheel.h"
#include "astro/universal_time.h"

namespace qv::report {

namespace {

// The body labels of one house box, one per line as the box shows them.
nlohmann::ordered_json BoxLabels(const std::string& box) {
    nlohmann::ordered_json labels = nlohmann::ordered_json::array();
    std::size_t start = 0;
    while (start < box.size()) {
        std::size_t end = box.find("\r\n", start);
        if (end == std::string::npos) end = box.size();
        if (end > start) labels.push_back(box.substr(start, end - start));
        start = end + 2;
    }
    return labels;
}

template <std::size_t N, std::size_t M>
nlohmann::ordered_json Findings(const std::array<std::string_view, N>& names, const std::array<std::string, M>& results) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < N; ++i) {
        nlohmann::ordered_json f;
        f["name"] = names[i];
        f["present"] = IsPresentMessage(results[i]);
        f["message"] = results[i];
        list.push_back(std::move(f));
    }
    return list;
}

}  // namespace

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

    ChartWheel wheel;
    FillChartWheel(state, wheel);
    nlohmann::ordered_json houses = nlohmann::ordered_json::array();
    for (std::size_t h = 0; h < wheel.lblNatal.size(); ++h) {
        nlohmann::ordered_json house;
        house["house"] = h + 1;
        house["sign"] = state.HouseSign[h];
        house["bodies"] = BoxLabels(wheel.lblNatal[h]);
        houses.push_back(std::move(house));
    }
    chart["houses"] = std::move(houses);
    chart["elements"] = Findings(kElementNames, state.ElementResult);
    chart["qualities"] = Findings(kQualityNames, state.QualityResult);
    chart["house_types"] = Findings(kHouseTypeNames, state.HouseTypeResult);
    return chart;
}

std::string ChartJsonText(const ChartState& state) {
    return ChartJson(state).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace qv::report
