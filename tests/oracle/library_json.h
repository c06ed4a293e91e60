// The judge of the program's JSON: the chart's members mapped into the JSON
// library's tree, member by member as the program means to write them, and
// the comparison of the program's text with the library's by value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "chart/chart_wheel.h"
#include "formats/chart_json.h"
#include "state/chart_state.h"

namespace qv::oracle {

// The chart's object as the library's tree, "row" first when `row` > 0.
nlohmann::ordered_json LibraryChartJson(std::size_t row, const ChartState& state, const ChartWheel& wheel,
                                        const AtlasUse& atlas = {});

// Whether JSON text `got` holds the same values, members in the same order,
// as the library's tree `want` (numbers compared as doubles, invalid UTF-8
// in `want`'s texts replaced as the library writes it); the first
// difference, or empty.
std::string DifferentJson(std::string_view got, const nlohmann::ordered_json& want);

}  // namespace qv::oracle
