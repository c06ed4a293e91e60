// The computed chart as JSON, the second output format beside the text
// export: one mapping of the chart state and the wheel (WriteChartMembers)
// from which both the single chart (indented, ChartJsonText) and the batch's
// lines (ChartJsonLineWriter) come, through one writer (json_writer.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "chart/chart_wheel.h"
#include "chart/time_window.h"
#include "formats/json_writer.h"
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

// Writes the chart's members into the object open in `json`, in this order:
// - input: the birth data as entered and stored: name, date "YYYY-MM-DD",
//   time "HH:MM" (local clock, 12:00 when the birth time is not known),
//   time_known, zone (table slot), zone_text, dst, latitude
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
//   as stored ("M-" marker included);
// - rests_on_time, only for a birth time not known: WriteTimeDependence;
// - aspects, only when the calculation found them (Aspects.computed): each
//   {a, b, aspect, angle, orb, applying, rests_on_time}, the points by their
//   position names, in the order of the first point's slot, then the
//   second's;
// - time_window, only when `window` is given: WriteTimeWindow.
void WriteChartMembers(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas, JsonWriter& json,
                       const TimeWindow* window = nullptr);

// The chart as one object, two-space indented, ending in a line break.
std::string ChartJsonText(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas = {},
                          const TimeWindow* window = nullptr);

// The batch's lines, appended to the caller's string: a line allocates
// nothing once that string has room for it.
class ChartJsonLineWriter {
public:
    // Appends {"row":row, then the chart's members}, and a line break.
    void AppendChart(std::string& out, std::size_t row, const ChartState& state, const ChartWheel& wheel,
                     const AtlasUse& atlas = {}, const TimeWindow* window = nullptr);

    // Appends {"row":row,"error":message} and a line break.
    void AppendError(std::string& out, std::size_t row, std::string_view message);
};

}  // namespace qv
