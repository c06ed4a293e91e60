// The birth data of one chart as one checked value. The birth-data form, a
// saved reading, the command and the batch each turn into it through one
// function (CheckBirthForm); the engines take it, and the chart state's
// birth fields are written from it once, after the engine has given its
// numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qv {

// A local clock reading, proleptic Gregorian calendar.
struct LocalDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
    bool operator==(const LocalDateTime&) const = default;
};

// One coordinate of the birth place as the user gives it: whole degrees and
// minutes, and its side. South and West are kept even at 0° 0', as the form
// and a saved reading keep the chosen direction.
struct Coordinate {
    int degrees = 0, minutes = 0;
    bool negative = false;  // south of the equator, west of Greenwich
    bool operator==(const Coordinate&) const = default;
};

// A coordinate of whole arc minutes, north and east positive.
constexpr Coordinate CoordinateFromArcMinutes(int arcMinutes) {
    const int magnitude = arcMinutes < 0 ? -arcMinutes : arcMinutes;
    return {magnitude / 60, magnitude % 60, arcMinutes < 0};
}

// The coordinate as signed degrees, north and east positive; never a
// negative zero. Degrees.
double SignedDegrees(const Coordinate& c);

// What kind of time a clock kept that no row of the time-zone table gives:
// the local mean time of a place (Moscow before 1919, +2:30:17), or a
// standard or summer time of an offset the table lacks (+5:45, +1:19:32).
enum class ClockKind : std::uint8_t { MeanTime, StandardTime, SummerTime };

// Such a clock, kept to the second.
struct ExactClock {
    std::int32_t utcOffsetSeconds = 0;  // east of UTC, at most kMostExactOffsetSeconds either way
    ClockKind kind = ClockKind::MeanTime;
    bool operator==(const ExactClock&) const = default;
};

// The largest offset an exact clock may have either way (every clock of
// the tz database from 1901 to 2050 lies within −12 h and +14 h). Seconds.
inline constexpr std::int32_t kMostExactOffsetSeconds = 15 * 3600;

// The birth data, checked: the date exists (1901 to 2050), the time and
// the zone row are in their lists, the coordinates within 90° and 180° with
// minutes below 60, and the texts trimmed and not empty. A birth whose time
// is not known is calculated for 12:00 local time, which `local` then holds.
struct BirthData {
    std::string name;
    LocalDateTime local;  // the clock time at the birth place
    int zoneSlot = 0;     // the row of the time-zone table the clock kept
    bool daylightSaving = false;
    // The clock to the second when no row gives it (local mean time): the
    // chart then takes its offset instead of zoneSlot's; zoneSlot holds the
    // row nearest to it (NearestZoneSlot), so that the seventeen lines of a
    // reading still name the closest zone. The box adds its hour to either.
    std::optional<ExactClock> exactClock = std::nullopt;
    Coordinate latitude;   // negative: South
    Coordinate longitude;  // negative: West
    std::string city, state, country;
    bool timeKnown = true;  // false: `local` holds 12:00, not the birth time
    bool operator==(const BirthData&) const = default;
};

}  // namespace qv
