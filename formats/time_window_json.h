// A chart's time window and what rests on an unknown birth time, as JSON,
// for the command and the batch (the same in words: chart_moment.h).
#pragma once

#include <string_view>

#include "chart/time_window.h"
#include "formats/json_writer.h"

namespace qv {

// Writes the window as the value of the key open in `json`: {"from",
// "until" (local clock times "YYYY-MM-DDTHH:MM", both ends inclusive, null
// for a side open for the whole 24 hours), "from_utc_offset",
// "until_utc_offset" (the offset of the clock at each edge, "+02:00"; null
// with the edge), "before", "after" (the events of WindowEdgeEvent, null
// when open), "bodies": eleven {"name", "sign",
// "last_change", "next_change"} in slot order, a change {"at", "sign"} the
// minute the body entered its sign (the sign it left) or the minute it
// enters the next (that sign), null when there is none within 24 hours}.
void WriteTimeWindow(const TimeWindow& window, JsonWriter& json, std::string_view zoneId = {});

// Writes the dependence as the value of the key open in `json`:
// {"ascendant": true, "houses": true, "moon_sign", "elements",
// "qualities", "house_types": the names of the lines that read otherwise}.
void WriteTimeDependence(const TimeDependence& dependence, JsonWriter& json);

}  // namespace qv
