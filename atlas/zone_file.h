// The zone files of the system's tz database (TZif, RFC 8536), read by Abseil:
// whether a zone's file can be used, the zone itself, and its clocks at an
// instant and at a local clock reading.
#pragma once

#include <absl/time/civil_time.h>
#include <absl/time/time.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "atlas/zone_at.h"

namespace qv {

// No zone file comes near this (the largest are a few kilobytes).
inline constexpr std::int64_t kMaxZoneFileBytes = 1 << 20;

enum class ZoneFileState {
    Usable,    // an ordinary file, small enough, starting as a TZif file
    Missing,   // no file of that name, or not a zone name at all
    Unusable,  // a file is there but cannot be used: `problem` says why
};

struct ZoneFileCheck {
    ZoneFileState state = ZoneFileState::Usable;
    std::string path;     // where the file is looked for
    std::string problem;  // a sentence for the user; empty when usable
};

// The file of zone `zoneId` under ZoneInfoDirectory(), checked before Abseil
// opens it: Abseil would wait forever for a writer on a FIFO, and says only
// "not loaded" of a folder or a damaged file. Only IANA names (letters, digits,
// '_', '+', '-', '.' in '/'-separated parts not starting with '.' or '-') are
// looked for; an absolute path or ".." never reaches the file system.
[[nodiscard]] ZoneFileCheck CheckZoneFile(std::string_view zoneId);

// Whether anything is there at the file of zone `zoneId` (only a stat, not
// read): false when CheckZoneFile would find it missing.
bool ZoneFileIsThere(std::string_view zoneId);

struct LoadedZone {
    absl::TimeZone zone;  // UTC when not loaded
    std::string error;    // a sentence for the user; empty when loaded
    bool ok() const { return error.empty(); }
};

// Zone `zoneId`, checked and read once per run and kept (several threads may
// ask at once). Abseil applies the rule at the end of each file to the years
// after its last listed change.
LoadedZone LoadZone(std::string_view zoneId);

// The clock of `zone` at instant `t`. An abbreviation that is not of ASCII
// letters, digits, '+' and '-' (a damaged file) is left empty.
LocalTimeType ClockAt(const absl::TimeZone& zone, absl::Time t);

// The offset east of UTC of the place's winter time at instant `t`: the
// lower of the clock in force and the nearest clock around it that the tz
// database files with the other daylight-saving flag (within a few years).
// Most zones file summer as daylight time; some file winter as a negative
// daylight time (Dublin since 1971, Windhoek 1994-2017, Casablanca since
// 2018), and both give the same winter here. A clock filed as daylight time
// with no standard time near it is taken to be an hour ahead of its winter.
std::int32_t WinterOffsetAt(const absl::TimeZone& zone, absl::Time t);

// The clock of `zone` at local clock reading `local`: unique, repeated (the
// first occurrence in `time`, the second in `other`) or skipped (the clock
// before in `time`, the one after in `other`); `winterOffset` that of
// `time`.
ZoneAtResult ResolveLocalTime(const absl::TimeZone& zone, const absl::CivilSecond& local);

}  // namespace qv
