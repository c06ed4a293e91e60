// The one Universal Time of a chart: the local clock time less the clock's
// offset east of UTC, which the time-zone row and the daylight-saving box
// give (ZoneOffsetSeconds), or an exact clock to the second with the box
// (ClockOffsetSeconds). The ascendant, the Moon and the planets all take
// it from the chart's EngineInput.
#pragma once

#include <chrono>

#include "state/birth_data.h"
#include "state/engine.h"

namespace qv {

// The moment and place an engine takes for the birth data: its local clock
// time, the offset of its zone row or exact clock and box, and its
// coordinates as signed degrees.
EngineInput EngineInputOf(const BirthData& birth);

// UT as hours on the local civil date: hour + minute/60 less the offset
// (to the second); may be below 0 or 24 and more. Hours.
double UniversalTimeHours(const EngineInput& input);

// UT as a calendar moment (proleptic Gregorian), with the carry across
// midnight, month and year ends, to the second: whole minutes for every row
// of the table, an exact clock's seconds kept. The engines take this one.
std::chrono::sys_seconds UniversalSecond(const EngineInput& input);

// The minute of UniversalSecond (its seconds dropped): the same moment for
// every row of the table.
std::chrono::sys_time<std::chrono::minutes> UniversalMoment(const EngineInput& input);

}  // namespace qv
