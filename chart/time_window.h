// How much of a chart rests on the birth minute: the stretch of local clock
// time around a chart's own for which the chart stays the same, and when
// each body last changed sign and next changes.
//
// Only the local clock time of the chart's EngineInput moves; the offset
// (zone row and box) and the place stay as given. The edges are found by
// bisection over the engine, not minute by minute: the side is bracketed by
// coarse steps that the fastest part of the chart (the ascendant) cannot
// cross twice, then every part that differs at the bracket's end is
// bisected to its first changed minute.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "state/birth_data.h"
#include "state/engine.h"

namespace qv {

// How far the window looks either way of the chart's clock time. Minutes.
inline constexpr int kWindowReachMinutes = 24 * 60;

// What makes two charts the same: the sign 0..11 of each body (slots 0..10,
// the ascendant last; -1 for a longitude that names none) and the eight
// retrograde marks. The wheel, the houses and the analysis follow from the
// signs alone, so two moments of the same face have the same chart.
struct ChartFace {
    std::array<std::int8_t, 11> sign{};
    std::array<bool, 8> retrograde{};
    bool operator==(const ChartFace&) const = default;
};

// The face of an engine's numbers, signs as the position texts name them.
ChartFace FaceOf(const EngineNumbers& numbers);

// A face as parts: 0..10 the signs of the bodies by slot, 11..18 the
// retrograde marks of Mercury … Pluto (0 or 1).
inline constexpr std::size_t kFacePartCount = 19;
inline constexpr std::size_t kFirstMarkPart = 11;
int FacePart(const ChartFace& face, std::size_t part);

// One change of one part, in forward time: the part reads `before` at
// minute − 1 and `after` at `minute` (minutes from the chart's clock time).
struct PartChange {
    int minute = 0;
    int before = 0, after = 0;
    bool operator==(const PartChange&) const = default;
};

struct TimeWindow {
    LocalDateTime clock;  // the chart's own clock time
    ChartFace face;       // the chart's
    // The minutes searched, from the chart's clock time: 24 hours either
    // way, less where that would leave the years the program calculates.
    int earliest = 0, latest = 0;
    // The window, both ends inclusive, in minutes from the clock time.
    int first = 0, last = 0;
    // No change before `first` (after `last`) as far as was searched: the
    // side holds for the whole 24 hours, and `first` (`last`) is the end
    // of the search.
    bool earlierOpen = false, laterOpen = false;
    // An open side that the range of dates cut short of 24 hours: the chart
    // holds to the first (last) minute the program calculates.
    bool earlierCut = false, laterCut = false;
    // The offset east of UTC of the chart's clock, which the minutes keep.
    std::int32_t utcOffsetSeconds = 0;
    // For each part, its change nearest the clock time on either side:
    // lastChange[p].minute <= 0 is the first minute of the chart's value,
    // nextChange[p].minute >= 1 the first minute of the next value.
    std::array<std::optional<PartChange>, kFacePartCount> lastChange{}, nextChange{};
    // The chart one minute outside each side (that side's face when open).
    ChartFace before, after;
    bool operator==(const TimeWindow&) const = default;
};

// The local clock time `minutes` after `clock` (before, for negative
// minutes), across days, months and years.
LocalDateTime ShiftedClock(const LocalDateTime& clock, int minutes);

// Minutes from `from` to `to`.
int MinutesBetween(const LocalDateTime& from, const LocalDateTime& to);

// The window of the chart cast for `input`, by the built-in formulas or,
// when given, the precise engine; the precise engine's message when it
// refuses a moment on the way.
[[nodiscard]] std::variant<TimeWindow, std::string> FindTimeWindow(const EngineInput& input,
                                                                   const PreciseEngine& precise = {});

// What of a chart drawn for 12:00 of a day whose birth time is not known
// rests on the time: beside the ascendant and the houses, which always do,
// the Moon's sign when it changes that day, and each element, quality and
// house-type line that reads otherwise at some minute of that local day.
struct TimeDependence {
    bool moonSign = false;
    std::array<bool, 4> elements{};    // Fire, Earth, Air, Water
    std::array<bool, 3> qualities{};   // Cardinal, Mutable, Fixed
    std::array<bool, 3> houseTypes{};  // Angular, Succedent, Cadent
    bool operator==(const TimeDependence&) const = default;
};

// The dependence of the chart of `input` (a clock time of 12:00 whose day
// is the birth date) on the time of day: the bodies' signs through the day
// from `window` (the window of that chart), the ascendant minute by minute
// by the built-in formulas.
TimeDependence DependenceOnTime(const TimeWindow& window, const EngineInput& input);

}  // namespace qv
