// One line of JSON per batch row: the chart object of WriteChartJson with
// "row" in front, or {"row": n, "error": message}. The lines are written
// straight from the chart (ChartJsonLineWriter), byte for byte what the JSON
// library writes for that tree, into storage kept from row to row.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/chart_wheel.h"
#include "chartview/chart_json.h"
#include "chartview/chart_json_line.h"
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
    ChartJsonLineWriter lines_;
};

}  // namespace qv::report
