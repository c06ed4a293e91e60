// What a chart was cast for and how much of it rests on the birth minute, in
// words for the chart window and the printed page and as JSON for the
// command and the batch.
//
// Clock times in these texts are local clock times of the chart's zone row
// and box (or offset), as "16:06" on the birth's date and "1962-06-16 00:00"
// on another. Given the IANA zone of the chart's atlas place (`zoneId`)
// whose clock the chart took, they are the place's wall-clock times at each
// instant instead, across its changes of the clock; an edge on another
// offset than the birth's says so: "to 03:08 (UTC+2:00, after the clocks
// changed)". A side the range of dates cuts (1901-01-01 00:00, 2050-12-31
// 23:59) ends there, and its event names the end of the dates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "chart/time_window.h"
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
std::string WindowEdgeEvent(const TimeWindow& window, bool later, std::string_view zoneId = {});

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
std::string TimeWindowLine(const TimeWindow& window, bool timeKnown, std::string_view zoneId = {});

// The window's line for a chart: FindTimeWindow on state.ChartMoment with
// the engine that gave its positions (`precise`, when they came from the
// ephemeris), or the engine's message when it refused a moment on the way.
std::string TimeWindowLineOf(const ChartState& state, const PreciseEngine& precise, std::string_view zoneId = {});

// The clock a window's minutes are read on: with `zoneId`, the place's wall
// clock at each instant when the place's clock was the chart's at the birth
// moment; else the chart's clock time moved on with its offset. Made once
// per window: it looks the place's clock up once for the birth moment.
class WindowClock {
public:
    WindowClock(const TimeWindow& window, std::string_view zoneId = {});

    struct Reading {
        LocalDateTime local;
        std::int32_t utcOffset = 0;  // seconds east
    };

    // The clock `minute` minutes after the chart's moment.
    Reading At(int minute) const;
    // That clock as "1962-06-15T13:53", as the JSON has it.
    std::string IsoText(int minute) const;
    const TimeWindow& window() const { return w_; }

private:
    std::int64_t UnixSecond(int minute) const;

    const TimeWindow& w_;
    std::string_view zoneId_;
};

// The name of sign 0..11, "no sign" for any other number.
std::string_view WindowSignName(int sign);

// The note of a chart whose birth time is not known, under its
// interpretation: "Birth time unknown: the ascendant and the houses above
// are drawn for 12:00 and not known, nor are the Moon's sign and the Water,
// Mutable, Angular and Cadent lines, which read otherwise at other times of
// that day."
std::string UnknownTimeNote(const TimeDependence& dependence);

// What of the chart in `state` rests on its birth time when that is not
// known (DependenceOnTime): from `window` when given, else from the window
// the built-in formulas find. nullopt for a known birth time, or when no
// window is found.
std::optional<TimeDependence> TimeDependenceOf(const ChartState& state, const TimeWindow* window = nullptr);

// Bytes WriteTimeWindow writes at most.
inline constexpr std::size_t kTimeWindowJsonRoom = 8 * 1024;

}  // namespace qv
