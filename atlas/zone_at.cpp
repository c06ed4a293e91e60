#include "atlas/zone_at.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "state/text.h"

namespace qv {

namespace {

// Every solution of "UTC + offset = local" lies within 26 hours of the local time.
constexpr std::int64_t kSearchWindow = 27 * 3600;
// No zone file comes near this; anything larger is not one.
constexpr std::uintmax_t kMaxZoneFileBytes = 1 << 20;

// IANA names are ASCII letters, digits, '_', '+', '-' in '/'-separated parts;
// anything else (an absolute path, "..") never reaches the file system.
bool IsZoneName(std::string_view id) {
    if (id.empty() || id.size() > 128) return false;
    std::size_t partStart = 0;
    for (std::size_t i = 0; i <= id.size(); ++i) {
        if (i == id.size() || id[i] == '/') {
            const std::string_view part = id.substr(partStart, i - partStart);
            if (part.empty() || part.front() == '.' || part.front() == '-') return false;
            partStart = i + 1;
            continue;
        }
        const char c = id[i];
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                             c == '+' || c == '-' || c == '.';
        if (!allowed) return false;
    }
    return true;
}

struct LoadedRules {
    std::shared_ptr<const ZoneRules> rules;
    std::string error;
};

LoadedRules ReadZoneFile(std::string_view zoneId) {
    const std::string unknown = "No time zone is known as " + QuoteUserText(zoneId) + ".";
    if (!IsZoneName(zoneId)) return {nullptr, unknown};
    const std::filesystem::path path = std::filesystem::path(ZoneInfoDirectory()) / std::string(zoneId);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {nullptr, unknown};
    const auto size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || size > kMaxZoneFileBytes || !in) return {nullptr, unknown};
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    TzifParse parsed = ParseTzif(bytes);
    if (!parsed.rules)
        return {nullptr, "The time-zone data of " + QuoteUserText(zoneId) + " cannot be read: " + parsed.error + "."};
    return {std::make_shared<const ZoneRules>(std::move(*parsed.rules)), {}};
}

// Zone files are read once per zone and kept; several threads may ask at once.
LoadedRules RulesFor(std::string_view zoneId) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const ZoneRules>, std::less<>> cache;
    {
        const std::lock_guard lock(mutex);
        if (const auto it = cache.find(zoneId); it != cache.end()) return {it->second, {}};
    }
    LoadedRules loaded = ReadZoneFile(zoneId);
    if (loaded.rules) {
        const std::lock_guard lock(mutex);
        cache.emplace(std::string(zoneId), loaded.rules);
    }
    return loaded;
}

// Local clock seconds since 1970-01-01 00:00 of a valid date and time; empty otherwise.
std::optional<std::int64_t> LocalSeconds(const LocalDateTime& t) {
    using namespace std::chrono;
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 ||
        t.hour > 23 || t.minute < 0 || t.minute > 59)
        return std::nullopt;
    const year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
    if (!date.ok()) return std::nullopt;
    return sys_days{date}.time_since_epoch().count() * 86400LL + t.hour * 3600 + t.minute * 60;
}

}  // namespace

ZoneAtResult ResolveLocalTime(const ZoneRules& rules, std::int64_t local) {
    const std::vector<TimeSegment> segments = rules.Segments(local - kSearchWindow, local + kSearchWindow);
    // Segment i runs over UTC [start_i, start_i+1); its clock shows [start_i + offset_i, start_i+1 + offset_i).
    std::vector<const LocalTimeType*> hits;
    const LocalTimeType* before = nullptr;
    const LocalTimeType* after = nullptr;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const LocalTimeType& type = segments[i].type;
        const std::int64_t utc = local - type.utcOffset;
        const bool last = i + 1 == segments.size();
        const std::int64_t end = last ? std::numeric_limits<std::int64_t>::max() : segments[i + 1].start;
        if (utc >= segments[i].start && utc < end) hits.push_back(&type);
        if (!last && local >= end + type.utcOffset && local < end + segments[i + 1].type.utcOffset)
            before = &type, after = &segments[i + 1].type;
    }
    ZoneAtResult r;
    if (hits.size() >= 2) {
        r.kind = LocalTimeKind::Repeated;
        r.time = *hits[0];
        r.other = *hits[1];
    } else if (hits.size() == 1) {
        r.time = r.other = *hits[0];
    } else if (before) {
        r.kind = LocalTimeKind::Skipped;
        r.time = *before;
        r.other = *after;
    } else {
        r.error = "The time-zone data do not cover this date.";
    }
    return r;
}

ZoneAtResult ZoneAt(std::string_view zoneId, const LocalDateTime& local) {
    ZoneAtResult r;
    const auto seconds = LocalSeconds(local);
    if (!seconds) {
        r.error = "The date and time are not a valid calendar date and clock time.";
        return r;
    }
    const LoadedRules loaded = RulesFor(zoneId);
    if (!loaded.rules) {
        r.error = loaded.error;
        return r;
    }
    return ResolveLocalTime(*loaded.rules, *seconds);
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
