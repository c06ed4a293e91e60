#include "atlas/zone_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>

#include "state/text.h"

namespace qv {

namespace {

// A TZif header (RFC 8536): magic, version, 15 reserved bytes, then six
// big-endian counts: UT/local indicators, standard/wall indicators, leap
// seconds, transition times, local time types, abbreviation characters.
constexpr std::size_t kTzifHeaderBytes = 44;
constexpr std::size_t kCountsAt = 20;

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

// The C library's words for an error number ("Permission denied"); unlike
// strerror, safe on any thread.
std::string ErrorText(int error) { return std::generic_category().message(error); }

// What a file that is not an ordinary one is, for the user; null for an ordinary file.
const char* NotOrdinary(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return "it is a folder";
    if (S_ISFIFO(mode)) return "it is a named pipe (FIFO), not an ordinary file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not an ordinary file";
    if (S_ISSOCK(mode)) return "it is a socket, not an ordinary file";
    return "it is not an ordinary file";
}

// Reads up to `size` bytes; fewer only at the end of the file; -1 on an error.
ssize_t ReadFully(int fd, char* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, out + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// Whether a POSIX TZ rule, as Abseil reads it (up to a NUL), names a daylight
// time without both dates of its start and end ("CST6CDT", "CST6CDT,M3.2.0").
// Abseil 20220623 takes such a rule and then works with the dates it never
// set; the tz database always writes both.
bool NamesDaylightWithoutDates(std::string_view rule) {
    rule = rule.substr(0, rule.find('\0'));
    std::size_t i = 0;
    const auto isDigit = [&] { return i < rule.size() && rule[i] >= '0' && rule[i] <= '9'; };
    if (i < rule.size() && rule[i] == '<') {  // the standard time's name, "<+0530>" or "CST"
        i = rule.find('>');
        if (i == std::string_view::npos) return false;
        ++i;
    } else {
        while (i < rule.size() && ((rule[i] | 0x20) >= 'a' && (rule[i] | 0x20) <= 'z')) ++i;
    }
    if (i < rule.size() && (rule[i] == '+' || rule[i] == '-')) ++i;  // its offset
    while (isDigit() || (i < rule.size() && rule[i] == ':')) ++i;
    const std::string_view daylight = rule.substr(i);
    return !daylight.empty() && std::count(daylight.begin(), daylight.end(), ',') < 2;
}

std::uint64_t Count(std::string_view header, int k) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(header[kCountsAt + 4 * k + i]);
    return v;
}

// What is wrong with the bytes of an ordinary file as a zone file; empty when
// Abseil may read it. Abseil sets aside as much memory as a block's header
// claims before it reads the block, so each claim is held to the file's
// length first: a few damaged bytes must not cost gigabytes.
std::string TzifProblem(std::string_view bytes) {
    if (bytes.empty()) return "it is empty";
    if (!bytes.starts_with("TZif")) return "it is not a time-zone file";
    std::uint64_t at = 0;
    const bool version1 = bytes.size() > 4 && bytes[4] == '\0';
    for (const std::uint64_t timeBytes : {4, 8}) {  // the block of 32-bit times, then the one of 64-bit times
        if (bytes.size() < at + kTzifHeaderBytes || bytes.substr(at, 4) != "TZif") return "it is damaged";
        const std::string_view header = bytes.substr(at);
        if (Count(header, 2) != 0) return "it counts leap seconds, which the program does not read";
        const std::uint64_t data = Count(header, 3) * (timeBytes + 1) + Count(header, 4) * 6 + Count(header, 5) +
                                   Count(header, 0) + Count(header, 1);
        at += kTzifHeaderBytes + data;
        if (at > bytes.size()) return "it is damaged";
        if (version1) return {};
    }
    // The closing rule, between line ends; without them Abseil refuses the file itself.
    const std::size_t end = bytes.find('\n', at + 1);
    if (at < bytes.size() && bytes[at] == '\n' && end != std::string_view::npos &&
        NamesDaylightWithoutDates(bytes.substr(at + 1, end - at - 1)))
        return "it is damaged";
    return {};
}

// An abbreviation as the tz database writes them: ASCII letters, digits, '+'
// and '-', a few of them. Anything else, from a damaged file, is left out, so
// that none of its bytes reaches a message or a terminal.
std::string PlainAbbreviation(const char* text) {
    const std::string_view abbreviation = text ? text : "";
    const auto plain = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-';
    };
    if (abbreviation.size() > 16 || !std::all_of(abbreviation.begin(), abbreviation.end(), plain)) return {};
    return std::string(abbreviation);
}

}  // namespace

bool ZoneFileIsThere(std::string_view zoneId) {
    if (!IsZoneName(zoneId)) return false;
    struct stat info {};
    const std::string path = ZoneInfoDirectory() + "/" + std::string(zoneId);
    return ::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

ZoneFileCheck CheckZoneFile(std::string_view zoneId) {
    ZoneFileCheck check;
    if (!IsZoneName(zoneId)) {
        check.state = ZoneFileState::Missing;
        check.problem = "No time zone is known as " + QuoteUserText(zoneId) + ".";
        return check;
    }
    const std::string directory = ZoneInfoDirectory();
    check.path = directory + "/" + std::string(zoneId);
    const auto unusable = [&check](const std::string& why) {
        check.state = ZoneFileState::Unusable;
        check.problem = "The time-zone file " + QuoteUserText(check.path) + " cannot be used: " + why + ".";
        return check;
    };

    struct stat info {};
    if (::stat(check.path.c_str(), &info) != 0) {
        const int error = errno;
        if (error != ENOENT && error != ENOTDIR) return unusable("it cannot be read (" + ErrorText(error) + ")");
        check.state = ZoneFileState::Missing;
        struct stat folder {};
        if (::stat(directory.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
            check.problem = "The time-zone data are missing: there is no folder " + QuoteUserText(directory) + ".";
        else
            check.problem = "No time zone is known as " + QuoteUserText(zoneId) + ".";
        return check;
    }
    if (const char* what = NotOrdinary(info.st_mode)) return unusable(what);
    if (info.st_size > kMaxZoneFileBytes)
        return unusable("at " + std::to_string(info.st_size) + " bytes it is larger than any time-zone file");

    // Opened without waiting, so that a FIFO put there since cannot hold the program.
    const int fd = ::open(check.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return unusable("it cannot be read (" + ErrorText(errno) + ")");
    struct stat opened {};
    const bool ordinary = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
    // One byte more than its size tells a file that has grown since.
    std::string bytes(
        ordinary ? static_cast<std::size_t>(std::min<std::int64_t>(opened.st_size, kMaxZoneFileBytes)) + 1 : 0, '\0');
    const ssize_t n = ReadFully(fd, bytes.data(), bytes.size());
    const int readError = errno;
    ::close(fd);
    if (!ordinary) return unusable(NotOrdinary(opened.st_mode) ? NotOrdinary(opened.st_mode) : "it changed while read");
    if (n < 0) return unusable("it cannot be read (" + ErrorText(readError) + ")");
    if (n > kMaxZoneFileBytes) return unusable("it is larger than any time-zone file");
    if (static_cast<std::size_t>(n) == bytes.size()) return unusable("it changed while read");
    bytes.resize(static_cast<std::size_t>(n));
    const std::string problem = TzifProblem(bytes);
    if (!problem.empty()) return unusable(problem);
    return check;
}

LoadedZone LoadZone(std::string_view zoneId) {
    static std::mutex mutex;
    static std::map<std::string, absl::TimeZone, std::less<>> loaded;
    {
        const std::lock_guard lock(mutex);
        if (const auto it = loaded.find(zoneId); it != loaded.end()) return {it->second, {}};
    }
    const ZoneFileCheck check = CheckZoneFile(zoneId);
    if (check.state != ZoneFileState::Usable) return {absl::UTCTimeZone(), check.problem};
    absl::TimeZone zone;
    // Abseil reads $TZDIR/zoneId, or /usr/share/zoneinfo/zoneId, as ZoneInfoDirectory() says.
    if (!absl::LoadTimeZone(std::string(zoneId), &zone))
        return {absl::UTCTimeZone(),
                "The time-zone file " + QuoteUserText(check.path) + " cannot be used: it is damaged."};
    const std::lock_guard lock(mutex);
    loaded.emplace(std::string(zoneId), zone);
    return {zone, {}};
}

LocalTimeType ClockAt(const absl::TimeZone& zone, absl::Time t) {
    const absl::TimeZone::CivilInfo info = zone.At(t);
    return {static_cast<std::int32_t>(info.offset), info.is_dst, PlainAbbreviation(info.zone_abbr)};
}

std::int32_t WinterOffsetAt(const absl::TimeZone& zone, absl::Time t) {
    // Far enough for the war times of the 1940s, which kept daylight time
    // through several winters.
    constexpr int kMostChanges = 16;
    const absl::Duration reach = absl::Hours(24 * 366 * 4);
    const LocalTimeType now = ClockAt(zone, t);
    std::optional<std::pair<absl::Duration, std::int32_t>> nearest;  // distance, offset
    for (const bool later : {false, true}) {
        absl::Time at = t;
        for (int i = 0; i < kMostChanges; ++i) {
            absl::TimeZone::CivilTransition change;
            if (!(later ? zone.NextTransition(at, &change) : zone.PrevTransition(at, &change))) break;
            const absl::Time instant = zone.At(change.to).trans;
            if (later ? instant <= at : instant >= at) break;
            const absl::Duration distance = later ? instant - t : t - instant;
            if (distance > reach) break;
            const LocalTimeType other = ClockAt(zone, later ? instant : instant - absl::Seconds(1));
            if (other.daylightSaving != now.daylightSaving) {
                if (!nearest || distance < nearest->first) nearest.emplace(distance, other.utcOffset);
                break;
            }
            at = instant;
        }
    }
    if (nearest) return std::min(now.utcOffset, nearest->second);
    return now.daylightSaving ? now.utcOffset - 3600 : now.utcOffset;
}

ZoneAtResult ResolveLocalTime(const absl::TimeZone& zone, const absl::CivilSecond& local) {
    const absl::TimeZone::TimeInfo found = zone.At(local);
    ZoneAtResult r;
    switch (found.kind) {
        case absl::TimeZone::TimeInfo::UNIQUE:
            r.time = ClockAt(zone, found.pre);
            r.other = r.time;
            r.winterOffset = WinterOffsetAt(zone, found.pre);
            break;
        case absl::TimeZone::TimeInfo::SKIPPED:
            // `pre` and `post` lie on the wrong sides of the change; `trans` is the change itself.
            r.kind = LocalTimeKind::Skipped;
            r.time = ClockAt(zone, found.trans - absl::Seconds(1));
            r.other = ClockAt(zone, found.trans);
            r.winterOffset = WinterOffsetAt(zone, found.trans - absl::Seconds(1));
            break;
        case absl::TimeZone::TimeInfo::REPEATED:
            r.kind = LocalTimeKind::Repeated;
            r.time = ClockAt(zone, found.pre);
            r.other = ClockAt(zone, found.post);
            r.winterOffset = WinterOffsetAt(zone, found.pre);
            break;
    }
    return r;
}

}  // namespace qv
