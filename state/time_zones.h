// The fixed table of 71 time zones and their corrections to Universal Time.
#pragma once

#include "state/chart_state.h"

namespace qv {

// Rows of the table, slots 0..70.
inline constexpr int kTimeZoneCount = 71;

// Writes slots 0..70 of TimeZoneName, TimeZoneHours and TimeZoneMinutes.
void LoadTimeZones(ChartState& state);

// Stores the zone of table slot `slot` as the chart's: ZoneSlot; the texts
// ZoneHoursText and ZoneMinutesText as the table holds them; their numbers
// ZoneHoursValue and ZoneMinutesValue; and their magnitudes ZoneHoursAbs and
// ZoneMinutesAbs. The row comes from the built-in table, whatever the state's
// copy holds; a slot outside the table changes nothing.
void StoreZone(ChartState& state, int slot);

}  // namespace qv
