// The row of the program's 71-row time-zone table and the daylight-saving box
// that reproduce a place's UTC offset under the program's one Universal Time
// rule: UT = local clock time + row correction − 1 h when the box is ticked.
#pragma once

#include <cstdint>
#include <string_view>

#include "atlas/zone_at.h"

namespace qv {

struct ZoneSlot {
    bool found = false;           // false: no row gives the offset; the user chooses
    int slot = -1;                // table row 0..70 when found
    bool daylightSaving = false;  // the box
    bool operator==(const ZoneSlot&) const = default;
};

// Choice for an offset east of UTC in seconds, the tz database's daylight-saving
// flag and abbreviation, in this order:
//  1. a row with the same abbreviation and offset, box unticked ("CDT" -> the CDT row);
//  2. with daylight saving in force, the row one hour behind with the box ticked,
//     so the box says what the place's clock said;
//  3. a row of the whole offset, box unticked;
//  4. without daylight saving, the row one hour behind with the box ticked
//     (an offset the table lacks, such as +14:00).
// Among rows of equal offset: the one whose abbreviation shares the longest
// start (two letters or more) with the place's, then the kind of time the place
// keeps (standard, or daylight/summer/war), then table order. Offsets that are
// not whole minutes (local mean time) and offsets no row reaches find nothing.
ZoneSlot ZoneSlotFor(std::int32_t offsetSeconds, bool daylightSaving, std::string_view abbreviation);

inline ZoneSlot ZoneSlotFor(const LocalTimeType& clock) {
    return ZoneSlotFor(clock.utcOffset, clock.daylightSaving, clock.abbreviation);
}

// The same for the clock of a place at a moment, with its daylight saving
// taken as summer time (ZoneAtResult::summerTime), so that the box is
// ticked only for the clock an hour ahead of the place's winter time.
inline ZoneSlot ZoneSlotFor(const ZoneAtResult& clock) {
    return ZoneSlotFor(clock.time.utcOffset, clock.summerTime(), clock.time.abbreviation);
}

}  // namespace qv
