// The rules of one time zone as the compiled tz database keeps them (TZif
// files, RFC 8536): every transition with the UTC offset, daylight-saving flag
// and abbreviation that follow it, and a POSIX TZ rule for the years after the
// last listed transition.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// One kind of local time: offset east of UTC in seconds, the tz database's
// daylight-saving flag, and its abbreviation ("CDT", "+0630", "LMT").
struct LocalTimeType {
    std::int32_t utcOffset = 0;
    bool daylightSaving = false;
    std::string abbreviation;
    bool operator==(const LocalTimeType&) const = default;
};

// Day of a POSIX TZ rule: Jn (1..365, 29 February never counted), n (0..365,
// counted from 0) or Mm.w.d (weekday d, 0 Sunday, of week w, 5 the last, of month m).
struct PosixRuleDay {
    enum class Kind { Julian, ZeroBased, MonthWeekDay } kind = Kind::MonthWeekDay;
    int day = 0;    // Julian and ZeroBased
    int month = 0;  // MonthWeekDay
    int week = 0;
    int weekday = 0;
};

// A POSIX TZ string such as "CST6CDT,M3.2.0,M11.1.0" (offsets stored east positive).
struct PosixTzRule {
    LocalTimeType standard;
    std::optional<LocalTimeType> daylight;
    PosixRuleDay startDay, endDay;
    std::int32_t startTime = 7200;  // seconds of local standard time on the start day
    std::int32_t endTime = 7200;    // seconds of local daylight time on the end day
};

// A piece of the time line: from `start` (seconds since 1970-01-01 00:00 UTC) on,
// the type `type` is in force.
struct TimeSegment {
    std::int64_t start = 0;
    LocalTimeType type;
};

class ZoneRules {
public:
    ZoneRules(std::vector<std::int64_t> transitions, std::vector<std::uint8_t> typeIndex,
              std::vector<LocalTimeType> types, std::optional<PosixTzRule> footer);

    // The type in force at instant t, seconds since 1970-01-01 00:00 UTC.
    LocalTimeType AtUtc(std::int64_t t) const;

    // The segments that cover [from, to]: the first starts at `from`, the
    // others at each change of offset, flag or abbreviation inside the range.
    std::vector<TimeSegment> Segments(std::int64_t from, std::int64_t to) const;

private:
    std::vector<std::int64_t> transitions_;
    std::vector<std::uint8_t> typeIndex_;
    std::vector<LocalTimeType> types_;
    std::optional<PosixTzRule> footer_;
};

struct TzifParse {
    std::optional<ZoneRules> rules;
    std::string error;  // what is wrong with the file ("its data ends early"); empty when rules is set
};

// Reads a TZif file's bytes (versions 1 to 4). Damaged or truncated input
// gives an error, never a partial result.
TzifParse ParseTzif(std::string_view bytes);

// Reads a POSIX TZ string (with the RFC 8536 extensions: hours up to 167 and
// negative in rule times). Empty when it is not well formed.
std::optional<PosixTzRule> ParsePosixTz(std::string_view text);

// Changes of a POSIX rule in the calendar years first..last (UTC instants,
// in time order), each with the type that starts there.
std::vector<TimeSegment> PosixTransitions(const PosixTzRule& rule, int first, int last);

}  // namespace qv
