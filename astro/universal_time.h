// The one Universal Time of a chart: local clock time plus the selected zone's
// signed correction, less one hour when daylight saving is ticked. The
// ascendant, the Moon and the planets all use it. Beside it, the birth
// place's coordinates as signed degrees.
#pragma once

#include <chrono>
#include <string>

#include "state/chart_state.h"
#include "state/text.h"

namespace qv {

// Hours to add to the local clock time for UT: ZoneHoursValue +
// ZoneMinutesValue/60, minus 1 with DaylightSaving. Hours.
double ZoneCorrectionHours(const ChartState& state);

// The offset from UTC of the local clock time, east positive: the zone
// correction with its sign turned. Minutes.
int UtcOffsetMinutes(const ChartState& state);

// The birth place's latitude, north positive, and longitude, east positive,
// from their degrees, minutes and directions; never a negative zero. Degrees.
double LatitudeNorth(const ChartState& state);
double LongitudeEast(const ChartState& state);

// UT as hours on the civil birth date; may be below 0 or 24 and more. Hours.
double UniversalTimeHours(const ChartState& state);

// UT as a calendar moment (proleptic Gregorian), with the carry across
// midnight, month and year ends. Whole minutes.
std::chrono::sys_time<std::chrono::minutes> UniversalMoment(const ChartState& state);

}  // namespace qv
