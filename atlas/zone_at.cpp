#include "atlas/zone_at.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "atlas/zone_file.h"

namespace qv {

namespace {

bool IsValidDateTime(const LocalDateTime& t) {
    using namespace std::chrono;
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 ||
        t.hour > 23 || t.minute < 0 || t.minute > 59)
        return false;
    return year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}}.ok();
}

// Zone `zoneId`, or its error sentence for the user when there is none.
LoadedZone ZoneOfPlace(std::string_view zoneId) {
    if (zoneId.empty())
        return {absl::UTCTimeZone(),
                "The atlas knows no time zone for this place. Please choose the time zone and daylight saving."};
    return LoadZone(zoneId);
}

}  // namespace

ZoneAtResult ZoneAt(std::string_view zoneId, const LocalDateTime& local) {
    ZoneAtResult r;
    if (!IsValidDateTime(local)) {
        r.error = "The date and time are not a valid calendar date and clock time.";
        return r;
    }
    const LoadedZone loaded = ZoneOfPlace(zoneId);
    if (!loaded.ok()) {
        r.error = loaded.error;
        return r;
    }
    return ResolveLocalTime(loaded.zone,
                            absl::CivilSecond(local.year, local.month, local.day, local.hour, local.minute, 0));
}

ZoneAtResult ZoneAtInstant(std::string_view zoneId, std::int64_t unixSeconds) {
    ZoneAtResult r;
    const LoadedZone loaded = ZoneOfPlace(zoneId);
    if (!loaded.ok()) {
        r.error = loaded.error;
        return r;
    }
    const absl::Time t = absl::FromUnixSeconds(unixSeconds);
    r.time = ClockAt(loaded.zone, t);
    r.other = r.time;
    r.winterOffset = WinterOffsetAt(loaded.zone, t);
    return r;
}

std::string ZoneInfoDirectory() {
    const char* dir = std::getenv("TZDIR");
    return dir && *dir ? dir : "/usr/share/zoneinfo";
}

std::string TzdataVersion() {
    std::ifstream in(std::filesystem::path(ZoneInfoDirectory()) / "tzdata.zi");
    std::string line;
    constexpr std::string_view kTag = "# version ";
    if (!std::getline(in, line) || !line.starts_with(kTag)) return {};
    return line.substr(kTag.size());
}

std::string FormatUtcOffset(std::int32_t seconds) {
    const char* sign = seconds < 0 ? "\u2212" : "+";
    const std::int32_t a = seconds < 0 ? -seconds : seconds;
    char buf[32];
    if (a % 60 != 0)
        std::snprintf(buf, sizeof buf, "UTC%s%d:%02d:%02d", sign, a / 3600, a / 60 % 60, a % 60);
    else
        std::snprintf(buf, sizeof buf, "UTC%s%d:%02d", sign, a / 3600, a / 60 % 60);
    return buf;
}

}  // namespace qv
