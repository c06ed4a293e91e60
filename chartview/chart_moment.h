// What a chart was cast for and how much of it rests on the birth minute, in
// words for the chart window, the printed page and the command (its JSON in
// chartview/time_window_json.h).
//
// Clock times in these texts are local clock times of the chart's zone row
// and box (or offset), as "16:06" on the birth's date and "1962-06-16 00:00"
// on another.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "app/time_window.h"
#include "state/chart_state.h"

namespace qv {

// The moment a chart was calculated for: "14:30 CDT (UTC−5:00) = 19:30 UT ·
// 41°51′N 87°39′W". The abbreviation is the zone row's (", DST" added when
// the box is ticked), the offsets those of state.ChartMoment; a UT on
// another date says "the day before" or "the next day". A birth time not
// known reads "12:00 (birth time unknown) …".
std::string BirthMomentLine(const ChartState& state);

// The event that ends one side of a window, in forward time: "at 16:06 the
// ascendant enters Scorpio", "at 1962-06-16 00:00 Mercury turns retrograde"
// (several parts at one minute joined by " and "). Empty when the side is
// open: the chart holds for the whole 24 hours that way.
std::string WindowEdgeEvent(const TimeWindow& window, bool later);

// The chart window's line for a known birth time: "Same chart for births
// from 13:53 to 16:05 (ascendant in Libra). Earlier: ascendant in Virgo;
// later: ascendant in Scorpio." The brackets name the parts that end the
// window, as the chart has them; an open side reads "24 hours or more
// earlier" ("later") and "no change within 24 hours".
//
// For a birth time not known (`timeKnown` false, the window of 12:00) the
// line gives the whole local day: what is drawn for 12:00 and not known,
// and each body whose sign changes that day, with both signs and the minute:
// "Birth time unknown: the ascendant, the houses and the house types are
// drawn for 12:00 and not known. During the day: Moon in Aries until 15:19,
// in Taurus from 15:20." or "… Every body keeps its sign all day."
std::string TimeWindowLine(const TimeWindow& window, bool timeKnown);

// The window's line for a chart: FindTimeWindow on state.ChartMoment with
// the engine that gave its positions (`precise`, when they came from the
// ephemeris), or the engine's message when it refused a moment on the way.
std::string TimeWindowLineOf(const ChartState& state, const PreciseEngine& precise);

// A minute of the window (minutes from the birth minute) as its local clock
// time "1962-06-15T13:53", as the JSON has it.
std::string WindowIsoClock(const TimeWindow& window, int minute);

// The name of sign 0..11, "no sign" for any other number.
std::string_view WindowSignName(int sign);

}  // namespace qv
