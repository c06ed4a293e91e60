#include "tools/report/batch_json.h"

#include "chartview/chart_json.h"

namespace qv::report {

void ChartLineWriter::AppendChart(std::string& out, std::size_t row, const ChartState& state,
                                  const ChartWheel& wheel, const AtlasUse& atlas) {
    chart_["row"] = row;  // the first member, written before the chart's own
    WriteChartJson(state, wheel, chart_, atlas);
    out.append(JsonLine(chart_)).push_back('\n');
}

void ChartLineWriter::AppendError(std::string& out, std::size_t row, std::string_view message) {
    error_["row"] = row;
    error_["error"] = std::string(message);
    out.append(JsonLine(error_)).push_back('\n');
}

}  // namespace qv::report
