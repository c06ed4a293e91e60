#include "atlas/clock_text.h"

#include <cctype>

#include "state/fixed_lists.h"

namespace qv {

namespace {

// "June 15, 1962".
std::string DateText(const LocalDateTime& t) {
    return std::string(MonthName(t.month)) + " " + std::to_string(t.day) + ", " + std::to_string(t.year);
}

// "2:30".
std::string TimeText(const LocalDateTime& t) {
    return std::to_string(t.hour) + (t.minute < 10 ? ":0" : ":") + std::to_string(t.minute);
}

std::string ShortName(const LocalTimeType& clock) {
    return std::isalpha(static_cast<unsigned char>(clock.abbreviation.empty() ? ' ' : clock.abbreviation[0]))
               ? clock.abbreviation
               : FormatUtcOffset(clock.utcOffset);
}

}  // namespace

std::string ClockText(const LocalTimeType& clock) {
    const bool named = !clock.abbreviation.empty() && std::isalpha(static_cast<unsigned char>(clock.abbreviation[0]));
    if (named) return clock.abbreviation + ", " + FormatUtcOffset(clock.utcOffset);
    return FormatUtcOffset(clock.utcOffset) + (clock.daylightSaving ? " with daylight saving" : "");
}

std::string ClockText(const ZoneAtResult& clock) {
    LocalTimeType shown = clock.time;
    shown.daylightSaving = clock.summerTime();
    return ClockText(shown);
}

std::string DescribeClock(std::string_view place, const LocalDateTime& local, const ZoneAtResult& clock,
                          const ZoneSlot& slot) {
    if (!clock.ok()) return std::string(place) + ": " + clock.error;
    if (clock.kind == LocalTimeKind::Skipped) return SkippedTimeMessage(place, local, clock);
    std::string line = std::string(place) + ": " + ClockText(clock) + " on " + DateText(local);
    if (clock.kind == LocalTimeKind::Repeated)
        line += "; the clocks went back that night and " + TimeText(local) + " came twice: the first (" +
                ShortName(clock.time) + ") is taken";
    if (!slot.found) line += "; no time-zone row gives this offset: the chart takes it to the second";
    return line;
}

std::string SkippedTimeMessage(std::string_view place, const LocalDateTime& local, const ZoneAtResult& clock) {
    return TimeText(local) + " on " + DateText(local) + " did not exist in " + std::string(place) +
           ": the clocks moved forward that night (" + ShortName(clock.time) + " to " + ShortName(clock.other) +
           "). Please check the time of birth.";
}

std::string SkippedDayMessage(std::string_view place, const LocalDateTime& local, const ZoneAtResult& clock) {
    return DateText(local) + " did not exist in " + std::string(place) +
           ": the clocks moved forward a whole day that night (" + ShortName(clock.time) + " to " +
           ShortName(clock.other) + "). Please check the date of birth.";
}

}  // namespace qv
