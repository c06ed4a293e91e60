// The computed chart as JSON: the second output format beside the text
// export. The single chart (indented) and the batch (one line per row) both
// write it through WriteChartJson.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "app/chart_wheel.h"
#include "state/chart_state.h"

namespace qv {

// Writes the chart's members into the object `chart`, in this order:
// - input: the birth data as entered and stored: name, date "YYYY-MM-DD",
//   time "HH:MM" (local clock), zone (table slot), zone_text, dst, latitude
//   and longitude (signed degrees, north and east positive), city, state,
//   country;
// - ascendant_text, moon_text, moon_sign, universal_time;
// - positions: the eleven {name, position, longitude, label, retrograde} in
//   slot order;
// - houses: twelve {house, sign, bodies}, the bodies as the house box lists
//   them, "Asc" last;
// - elements, qualities, house_types: {name, present, message}, the message
//   as stored ("M-" marker included).
// Members `chart` already holds keep their place and their storage, so one
// tree serves chart after chart.
void WriteChartJson(const ChartState& state, const ChartWheel& wheel, nlohmann::ordered_json& chart);

// The chart as a new object.
nlohmann::ordered_json ChartJson(const ChartState& state, const ChartWheel& wheel);

// The object as text, two-space indented, ending in a line break.
std::string ChartJsonText(const ChartState& state, const ChartWheel& wheel);

// `value` on one line, without a line break. Both writers replace invalid
// UTF-8 rather than refuse it.
std::string JsonLine(const nlohmann::ordered_json& value);

}  // namespace qv
