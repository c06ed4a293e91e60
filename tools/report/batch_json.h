// One line of JSON per batch row: the chart object of WriteChartJson with
// "row" in front, or {"row": n, "error": message}. A writer keeps one tree
// and writes chart after chart into it, so the tree's storage is reused.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "app/chart_wheel.h"
#include "chartview/chart_json.h"
#include "state/chart_state.h"

namespace qv::report {

class ChartLineWriter {
public:
    // Appends the chart with "row" in front, and a line break.
    void AppendChart(std::string& out, std::size_t row, const ChartState& state, const ChartWheel& wheel,
                     const AtlasUse& atlas = {});

    // Appends {"row": row, "error": message} and a line break.
    void AppendError(std::string& out, std::size_t row, std::string_view message);

private:
    nlohmann::ordered_json chart_ = nlohmann::ordered_json::object();
    nlohmann::ordered_json error_ = nlohmann::ordered_json::object();
};

}  // namespace qv::report
