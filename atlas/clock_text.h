// What the atlas found about a birth place's clock, in words for the user:
// the line under the time-zone row and the messages of the command.
#pragma once

#include <string>
#include <string_view>

#include "atlas/zone_at.h"
#include "atlas/zone_slot.h"

namespace qv {

// "CDT, UTC−5:00"; a numeric abbreviation ("+0630") only repeats the offset
// and is left out, with daylight saving said in words instead.
std::string ClockText(const LocalTimeType& clock);
// The same for a place's clock at a moment: daylight saving said in words
// only for its summer time (ZoneAtResult::summerTime).
std::string ClockText(const ZoneAtResult& clock);

// "Chicago: CDT, UTC−5:00 on June 15, 1962", with what the user must know
// added: a time that came twice (the first is taken), a time that never was,
// or an offset that no row of the table gives (taken to the second).
std::string DescribeClock(std::string_view place, const LocalDateTime& local, const ZoneAtResult& clock,
                          const ZoneSlot& slot);

// Refusal of a clock time that did not exist: "2:30 on March 14, 2021 did not
// exist in New York: the clocks moved forward that night (EST to EDT). …"
std::string SkippedTimeMessage(std::string_view place, const LocalDateTime& local, const ZoneAtResult& clock);

// Refusal of a date that did not exist at all, the clocks having jumped over
// the whole day: "December 30, 2011 did not exist in Apia: the clocks moved
// forward a whole day that night (UTC−10:00 to UTC+14:00). …"
std::string SkippedDayMessage(std::string_view place, const LocalDateTime& local, const ZoneAtResult& clock);

}  // namespace qv
