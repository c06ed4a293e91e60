#include "atlas/zone_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <system_error>

#include "state/text.h"

namespace qv {

namespace {

// A TZif header: magic, version, 15 reserved bytes, then six big-endian
// counts, of which the third counts leap seconds.
constexpr std::size_t kTzifHeaderBytes = 44;
constexpr std::size_t kLeapCountAt = 28;

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

// What is wrong with an ordinary file whose first bytes are `header`; empty when nothing is.
std::string HeaderProblem(std::string_view header) {
    if (header.empty()) return "it is empty";
    if (!header.starts_with("TZif")) return "it is not a time-zone file";
    if (header.size() == kTzifHeaderBytes &&
        (header[kLeapCountAt] | header[kLeapCountAt + 1] | header[kLeapCountAt + 2] | header[kLeapCountAt + 3]) != 0)
        return "it counts leap seconds, which the program does not read";
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
    std::array<char, kTzifHeaderBytes> header{};
    struct stat opened {};
    const bool ordinary = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
    const ssize_t n = ordinary ? ReadFully(fd, header.data(), header.size()) : 0;
    const int readError = errno;
    ::close(fd);
    if (!ordinary) return unusable(NotOrdinary(opened.st_mode) ? NotOrdinary(opened.st_mode) : "it changed while read");
    if (n < 0) return unusable("it cannot be read (" + ErrorText(readError) + ")");
    const std::string problem = HeaderProblem(std::string_view(header.data(), static_cast<std::size_t>(n)));
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

ZoneAtResult ResolveLocalTime(const absl::TimeZone& zone, const absl::CivilSecond& local) {
    const absl::TimeZone::TimeInfo found = zone.At(local);
    ZoneAtResult r;
    switch (found.kind) {
        case absl::TimeZone::TimeInfo::UNIQUE:
            r.time = ClockAt(zone, found.pre);
            r.other = r.time;
            break;
        case absl::TimeZone::TimeInfo::SKIPPED:
            // `pre` and `post` lie on the wrong sides of the change; `trans` is the change itself.
            r.kind = LocalTimeKind::Skipped;
            r.time = ClockAt(zone, found.trans - absl::Seconds(1));
            r.other = ClockAt(zone, found.trans);
            break;
        case absl::TimeZone::TimeInfo::REPEATED:
            r.kind = LocalTimeKind::Repeated;
            r.time = ClockAt(zone, found.pre);
            r.other = ClockAt(zone, found.post);
            break;
    }
    return r;
}

}  // namespace qv
