// The computed chart as JSON: the second output format beside the text
// export. The single chart (indented) and the batch (one line per row) both
// write it through WriteChartJson.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "app/chart_wheel.h"
#include "state/chart_state.h"

namespace qv {

// What the atlas gave a chart of the command or the batch: the label "City,
// State, Country" of the place used and the IANA zone whose clock chose the
// zone row or box. Empty when the atlas was not asked (JSON null).
struct AtlasUse {
    std::string place;
    std::string zoneId;
};

// The JSON name of the engine that gave a chart's positions.
constexpr std::string_view PositionsFromName(PositionsFrom from) {
    return from == PositionsFrom::Ephemeris ? "ephemeris" : "formulas";
}

// Writes the chart's members into the object `chart`, in this order:
// - input: the birth data as entered and stored: name, date "YYYY-MM-DD",
//   time "HH:MM" (local clock), zone (table slot), zone_text, dst, latitude
//   and longitude (signed degrees, north and east positive), city, state,
//   country; then place and zone_id of `atlas`, and utc_offset, the offset
//   east of UTC that the zone row and box give ("+05:30", "-05:00");
// - positions_from: "formulas" or "ephemeris", PositionsFromName;
// - ascendant_text, moon_text, moon_sign, universal_time;
// - positions: the eleven {name, position, longitude, label, retrograde} in
//   slot order;
// - houses: twelve {house, sign, bodies}, the bodies as the house box lists
//   them, "Asc" last;
// - elements, qualities, house_types: {name, present, message}, the message
//   as stored ("M-" marker included).
// Members `chart` already holds keep their place and their storage, so one
// tree serves chart after chart.
void WriteChartJson(const ChartState& state, const ChartWheel& wheel, nlohmann::ordered_json& chart,
                    const AtlasUse& atlas = {});

// The chart as a new object.
nlohmann::ordered_json ChartJson(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas = {});

// The object as text, two-space indented, ending in a line break.
std::string ChartJsonText(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas = {});

// `value` on one line, without a line break. Both writers replace invalid
// UTF-8 rather than refuse it.
std::string JsonLine(const nlohmann::ordered_json& value);

}  // namespace qv
