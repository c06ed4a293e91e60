// The clock of a place at a local date and time: its UTC offset, daylight
// saving and abbreviation, from the tz database installed with the system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "state/birth_data.h"

namespace qv {

// One kind of local time: offset east of UTC in seconds (exact, so local mean
// times keep their seconds: Moscow 1915 is +2:30:17), the tz database's
// daylight-saving flag, and its abbreviation ("CDT", "+0630", "LMT").
struct LocalTimeType {
    std::int32_t utcOffset = 0;
    bool daylightSaving = false;
    std::string abbreviation;
    bool operator==(const LocalTimeType&) const = default;
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
    // The place's winter time when `time` was in force (WinterOffsetAt).
    std::int32_t winterOffset = 0;
    bool ok() const { return error.empty(); }
    // Whether `time` is summer time: ahead of the place's winter time. This,
    // not the tz database's daylight-saving flag, is what the program's
    // daylight-saving box means.
    bool summerTime() const { return time.utcOffset > winterOffset; }
};

// The clock of IANA zone `zoneId` ("America/Chicago") at local clock time `local`.
// A repeated time resolves to its first occurrence. An empty `zoneId` is a
// place the atlas knows no zone for; a zone file that exists but cannot be
// used is named with what is wrong with it.
[[nodiscard]] ZoneAtResult ZoneAt(std::string_view zoneId, const LocalDateTime& local);

// The clock of zone `zoneId` at the instant `unixSeconds` (seconds since
// 1970-01-01 00:00 UTC): `time` and `other` both that clock, `kind` Unique.
ZoneAtResult ZoneAtInstant(std::string_view zoneId, std::int64_t unixSeconds);

// Where the zone files are read: $TZDIR when set, else /usr/share/zoneinfo
// (the folder Abseil reads them from too).
std::string ZoneInfoDirectory();

// Release of the installed tz database ("2025b"), from its tzdata.zi; empty if unknown.
std::string TzdataVersion();

// An offset east of UTC for people: "UTC+5:30", "UTC−5:00" (true minus sign),
// "UTC−5:50:36" when it has seconds.
std::string FormatUtcOffset(std::int32_t seconds);

}  // namespace qv
