// The fixed table of 71 time zones and their corrections to Universal Time.
#pragma once

#include "state/chart_state.h"

namespace qv {

// Rows of the table, slots 0..70.
inline constexpr int kTimeZoneCount = 71;

// Writes slots 0..70 of TimeZoneName, TimeZoneHours and TimeZoneMinutes.
void LoadTimeZones(ChartState& state);

}  // namespace qv
