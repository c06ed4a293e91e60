// A chart's time window as JSON, for the command and the batch (the window
// in words: chart_moment.h).
#pragma once

#include "app/time_window.h"
#include "chartview/json_writer.h"

namespace qv {

// Writes the window as the value of the key open in `json`: {"from",
// "until" (local clock times "YYYY-MM-DDTHH:MM", both ends inclusive, null
// for a side open for the whole 24 hours), "before", "after" (the events of
// WindowEdgeEvent, null when open), "bodies": eleven {"name", "sign",
// "last_change", "next_change"} in slot order, a change {"at", "sign"} the
// minute the body entered its sign (the sign it left) or the minute it
// enters the next (that sign), null when there is none within 24 hours}.
void WriteTimeWindow(const TimeWindow& window, JsonWriter& json);

}  // namespace qv
