// The clock of a place at a local date and time: its UTC offset, daylight
// saving and abbreviation, from the tz database installed with the system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "atlas/tzif.h"

namespace qv {

// A local clock reading, proleptic Gregorian calendar.
struct LocalDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
};

enum class LocalTimeKind {
    Unique,    // the clock showed this time once
    Repeated,  // the clocks went back: it showed this time twice
    Skipped,   // the clocks went forward: it never showed this time
};

struct ZoneAtResult {
    std::string error;  // a sentence for the user; empty when zone and date were understood
    LocalTimeKind kind = LocalTimeKind::Unique;
    LocalTimeType time;   // in force; the first of a repeated time; the one before a skipped time
    LocalTimeType other;  // the second of a repeated time; the one after a skipped time
    bool ok() const { return error.empty(); }
};

// The clock of IANA zone `zoneId` ("America/Chicago") at local clock time `local`.
// A repeated time resolves to its first occurrence.
ZoneAtResult ZoneAt(std::string_view zoneId, const LocalDateTime& local);

// The same for rules already read; `localSeconds` counts local clock seconds
// from 1970-01-01 00:00.
ZoneAtResult ResolveLocalTime(const ZoneRules& rules, std::int64_t localSeconds);

// Where the zone files are read: $TZDIR when set, else /usr/share/zoneinfo.
std::string ZoneInfoDirectory();

// Release of the installed tz database ("2025b"), from its tzdata.zi; empty if unknown.
std::string TzdataVersion();

// An offset east of UTC for people: "UTC+5:30", "UTC−5:00" (true minus sign),
// "UTC−5:50:36" when it has seconds.
std::string FormatUtcOffset(std::int32_t seconds);

}  // namespace qv
