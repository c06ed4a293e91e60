#include "tools/report/batch_json.h"

namespace qv::report {

void ChartLineWriter::AppendChart(std::string& out, std::size_t row, const ChartState& state,
                                  const ChartWheel& wheel, const AtlasUse& atlas) {
    lines_.AppendChart(out, row, state, wheel, atlas);
}

void ChartLineWriter::AppendError(std::string& out, std::size_t row, std::string_view message) {
    lines_.AppendError(out, row, message);
}

}  // namespace qv::report
