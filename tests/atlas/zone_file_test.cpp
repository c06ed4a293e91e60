#include <gtest/gtest.h>
#include <unicode/basictz.h>
#include <unicode/timezone.h>

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "atlas/zone_at.h"
#include "atlas/zone_file.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

absl::TimeZone Load(const std::string& zone) {
    const LoadedZone loaded = LoadZone(zone);
    EXPECT_TRUE(loaded.ok()) << zone << ": " << loaded.error;
    return loaded.zone;
}

// 1970-based seconds of a UTC date and time.
std::int64_t Utc(int y, int m, int d, int h = 0, int mi = 0) {
    tm t{};
    t.tm_year = y - 1900, t.tm_mon = m - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi;
    return timegm(&t);
}

// Where the block of 64-bit times of a TZif file starts: after the header of
// 44 bytes and the data of the block of 32-bit times, whose counts it gives.
std::size_t SecondBlockAt(const std::string& tzif) {
    const auto count = [&](int k) {
        std::size_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(tzif[20 + 4 * k + i]);
        return v;
    };
    return 44 + count(3) * 5 + count(4) * 6 + count(5) + count(2) * 8 + count(1) + count(0);
}

// TZDIR set for one scope, as it was afterwards.
class TzdirFor {
public:
    explicit TzdirFor(const std::string& dir) {
        if (const char* old = std::getenv("TZDIR")) saved_ = old;
        setenv("TZDIR", dir.c_str(), 1);
    }
    ~TzdirFor() {
        if (saved_)
            setenv("TZDIR", saved_->c_str(), 1);
        else
            unsetenv("TZDIR");
    }

private:
    std::optional<std::string> saved_;
};

std::vector<std::string> TzifFilesUnder(const fs::path& root) {
    std::vector<std::string> zones;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || ReadBytes(entry.path()).substr(0, 4) != "TZif") continue;
        zones.push_back(fs::relative(entry.path(), root).string());
    }
    return zones;
}

// Abseil reads the files of $TZDIR, else of /usr/share/zoneinfo, as the
// program's own checks do: a zone that exists only in $TZDIR is read from there.
TEST(LoadZone, ReadsTheFolderZoneInfoDirectoryNames) {
    const std::string system = ZoneInfoDirectory();
    {
        TzdirFor unset("");
        EXPECT_EQ(ZoneInfoDirectory(), "/usr/share/zoneinfo");
    }
    const fs::path dir = fs::path(testing::TempDir()) / ("qv_tzdir_" + std::to_string(getpid()));
    fs::create_directories(dir / "Quorvane");
    fs::copy_file(fs::path(system) / "America/Chicago", dir / "Quorvane/Chicago_Copy",
                  fs::copy_options::overwrite_existing);
    TzdirFor tzdir(dir.string());
    EXPECT_EQ(ZoneInfoDirectory(), dir.string());
    const ZoneAtResult copy = ZoneAt("Quorvane/Chicago_Copy", {1962, 6, 15, 12, 0});
    ASSERT_TRUE(copy.ok()) << copy.error;
    EXPECT_EQ(copy.time, (LocalTimeType{-5 * 3600, true, "CDT"}));
    fs::remove_all(dir);
}

// A file that is there but cannot be used is named with what is wrong with
// it; nothing waits on a FIFO.
TEST(LoadZone, SaysWhatIsWrongWithAZoneFileThatCannotBeUsed) {
    const fs::path dir = fs::path(testing::TempDir()) / ("qv_badzones_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Bad/Folder");
    ASSERT_EQ(mkfifo((dir / "Bad/Fifo").c_str(), 0600), 0);
    fs::create_symlink("Loop", dir / "Bad/Loop");
    WriteBytes(dir / "Bad/Empty", "");
    WriteBytes(dir / "Bad/Text", "Europe/Paris\n");
    const std::string chicago = ReadBytes(fs::path(ZoneInfoDirectory()) / "America/Chicago");
    WriteBytes(dir / "Bad/Cut", chicago.substr(0, chicago.size() / 2));
    std::string wrongCount = chicago;
    wrongCount[36] = '\x7f';  // the first block's count of local time types, far beyond the file
    WriteBytes(dir / "Bad/Count", wrongCount);
    std::string disorder = chicago;
    const std::size_t firstTime = SecondBlockAt(chicago) + 44;
    disorder.replace(firstTime, 8, 8, '\x7f');  // the first change after all others
    WriteBytes(dir / "Bad/Order", disorder);
    const std::size_t rule = chicago.rfind('\n', chicago.size() - 2);
    WriteBytes(dir / "Bad/Rule", chicago.substr(0, rule) + "\nCST6CDT,M3.2.0\n");  // daylight time without its end
    std::string leaps = chicago;
    leaps[31] = '\x01';  // one leap second
    WriteBytes(dir / "Bad/Leaps", leaps);
    { std::ofstream(dir / "Bad/Huge"); }
    fs::resize_file(dir / "Bad/Huge", 2 << 20);
    std::string escape = chicago;
    for (std::size_t at = escape.find(std::string("CDT\0", 4)); at != std::string::npos;
         at = escape.find(std::string("CDT\0", 4), at))
        escape[at + 1] = '\x1b';  // "C\x1bT" in both blocks
    WriteBytes(dir / "Bad/Escape", escape);
    WriteBytes(dir / "Bad/Locked", chicago);
    fs::permissions(dir / "Bad/Locked", fs::perms::none);
    const bool root = geteuid() == 0;  // reads any file whatever its permissions

    const std::string path = "The time-zone file \"" + dir.string() + "/Bad/";
    constexpr auto kUsable = ZoneFileState::Usable, kMissing = ZoneFileState::Missing;
    constexpr auto kUnusable = ZoneFileState::Unusable;
    struct Case {
        const char* zone;
        ZoneFileState state;  // as the check before Abseil finds it
        std::string error;
    };
    const Case cases[] = {
        {"Bad/Folder", kUnusable, path + "Folder\" cannot be used: it is a folder."},
        {"Bad/Fifo", kUnusable, path + "Fifo\" cannot be used: it is a named pipe (FIFO), not an ordinary file."},
        {"Bad/Loop", kUnusable, path + "Loop\" cannot be used: it cannot be read (Too many levels of symbolic links)."},
        {"Bad/Empty", kUnusable, path + "Empty\" cannot be used: it is empty."},
        {"Bad/Text", kUnusable, path + "Text\" cannot be used: it is not a time-zone file."},
        {"Bad/Cut", kUnusable, path + "Cut\" cannot be used: it is damaged."},
        {"Bad/Count", kUnusable, path + "Count\" cannot be used: it is damaged."},
        {"Bad/Order", kUsable, path + "Order\" cannot be used: it is damaged."},  // as Abseil finds
        {"Bad/Rule", kUnusable, path + "Rule\" cannot be used: it is damaged."},
        {"Bad/Leaps", kUnusable,
         path + "Leaps\" cannot be used: it counts leap seconds, which the program does not read."},
        {"Bad/Huge", kUnusable, path + "Huge\" cannot be used: at 2097152 bytes it is larger than any time-zone file."},
        {"Bad/Locked", root ? kUsable : kUnusable,
         root ? "" : path + "Locked\" cannot be used: it cannot be read (Permission denied)."},
        {"Bad/Missing", kMissing, "No time zone is known as \"Bad/Missing\"."},
        {"Bad/Folder/Below", kMissing, "No time zone is known as \"Bad/Folder/Below\"."},
    };
    TzdirFor tzdir(dir.string());
    for (const auto& c : cases) {
        EXPECT_EQ(ZoneAt(c.zone, {2000, 1, 1, 12, 0}).error, c.error) << c.zone;
        EXPECT_EQ(CheckZoneFile(c.zone).state, c.state) << c.zone;
    }
    // An abbreviation that is not one is left out: none of its bytes reaches a message.
    const ZoneAtResult escaped = ZoneAt("Bad/Escape", {1962, 6, 15, 12, 0});
    EXPECT_EQ(escaped.time, (LocalTimeType{-5 * 3600, true, ""})) << escaped.error;
    {
        TzdirFor none((dir / "Nowhere").string());
        EXPECT_EQ(ZoneAt("Bad/Elsewhere", {2000, 1, 1, 12, 0}).error,
                  "The time-zone data are missing: there is no folder \"" + dir.string() + "/Nowhere\".");
    }
    fs::permissions(dir / "Bad/Locked", fs::perms::owner_all);
    fs::remove_all(dir);
}

TEST(LoadZone, EveryZoneFileOfTheSystemReads) {
    const auto zones = TzifFilesUnder(ZoneInfoDirectory());
    EXPECT_GT(zones.size(), 400u);
    for (const auto& zone : zones) {
        const LoadedZone loaded = LoadZone(zone);
        // The leap-second copies under right/ are the only ones refused, and said to be so.
        if (zone.starts_with("right/"))
            EXPECT_TRUE(loaded.error.ends_with("it counts leap seconds, which the program does not read.")) << zone;
        else
            EXPECT_TRUE(loaded.ok()) << zone << ": " << loaded.error;
    }
}

// The C library reads the same files with its own code: both must agree at every instant.
TEST(ClockAt, AgreesWithTheCLibraryAtRandomInstants) {
    const char* saved = std::getenv("TZ");
    const std::string restore = saved ? saved : "";
    std::mt19937_64 random(1962);
    std::uniform_int_distribution<std::int64_t> instant(Utc(1850, 1, 1), Utc(2100, 1, 1));
    std::size_t zonesSeen = 0;
    for (const auto& zone : TzifFilesUnder(ZoneInfoDirectory())) {
        if (zone.starts_with("right/") || zone.starts_with("posix/")) continue;
        ++zonesSeen;
        const absl::TimeZone rules = Load(zone);
        setenv("TZ", (":" + zone).c_str(), 1);
        tzset();
        for (int i = 0; i < 60; ++i) {
            const time_t t = instant(random);
            tm local{};
            ASSERT_TRUE(localtime_r(&t, &local));
            const LocalTimeType ours = ClockAt(rules, absl::FromTimeT(t));
            ASSERT_EQ(ours,
                      (LocalTimeType{static_cast<std::int32_t>(local.tm_gmtoff), local.tm_isdst > 0, local.tm_zone}))
                << zone << " at " << t;
        }
    }
    if (saved)
        setenv("TZ", restore.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    EXPECT_GT(zonesSeen, 300u);
}

// ICU resolves local times with its own code (and its own, older copy of the
// data): both must agree on every clock reading near the changes of 1970-2021,
// the first occurrence of a repeated time, and the offset before a skipped one.
// (Tehran is left out: its 1978 changes were revised after ICU's copy.)
// clang-format off
TEST(ResolveLocalTime, AgreesWithIcuAroundEveryChange) {
    const char* zones[] = {"America/New_York", "America/Chicago", "America/Denver", "America/Los_Angeles",
                           "America/Anchorage", "America/St_Johns", "America/Halifax", "America/Sao_Paulo",
                           "America/Santiago", "America/Argentina/Buenos_Aires", "Europe/London", "Europe/Paris",
                           "Europe/Berlin", "Europe/Athens", "Europe/Moscow", "Africa/Johannesburg",
                           "Asia/Kolkata", "Asia/Kathmandu", "Asia/Tokyo", "Asia/Jerusalem",
                           "Australia/Sydney", "Australia/Adelaide", "Australia/Lord_Howe", "Pacific/Auckland",
                           "Pacific/Chatham", "Pacific/Apia", "Pacific/Kiritimati"};
    UErrorCode versionStatus = U_ZERO_ERROR;
    RecordProperty("icu_tzdata", icu::TimeZone::getTZDataVersion(versionStatus));
    RecordProperty("system_tzdata", TzdataVersion());
    const absl::Time from = absl::FromUnixSeconds(Utc(1970, 1, 1)), to = absl::FromUnixSeconds(Utc(2022, 1, 1));
    const absl::CivilSecond epoch(1970, 1, 1, 0, 0, 0);
    std::size_t changes = 0;
    for (const char* zone : zones) {
        const absl::TimeZone rules = Load(zone);
        std::unique_ptr<icu::BasicTimeZone> icuZone(
            dynamic_cast<icu::BasicTimeZone*>(icu::TimeZone::createTimeZone(icu::UnicodeString(zone))));
        ASSERT_TRUE(icuZone) << zone;
        std::vector<std::int64_t> locals;
        absl::TimeZone::CivilTransition change;
        for (absl::Time t = from; rules.NextTransition(t, &change);) {
            t = rules.At(change.to).trans;
            if (t >= to) break;
            ++changes;
            // The clock readings at the change, on the old clock and on the new one.
            const std::int64_t before = change.from - epoch, after = change.to - epoch;
            for (std::int64_t local : {before - 1800, before + (after - before) / 2, after + 1800})
                locals.push_back(local);
        }
        for (std::int64_t local : locals) {
            const ZoneAtResult ours = ResolveLocalTime(rules, epoch + local);
            UErrorCode status = U_ZERO_ERROR;
            std::int32_t raw = 0, dst = 0;
            icuZone->getOffsetFromLocal(local * 1000.0, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER, raw, dst, status);
            EXPECT_EQ(ours.time.utcOffset, (raw + dst) / 1000) << zone << " local " << local;
            icuZone->getOffsetFromLocal(local * 1000.0, UCAL_TZ_LOCAL_LATTER, UCAL_TZ_LOCAL_LATTER, raw, dst, status);
            EXPECT_EQ(ours.other.utcOffset, (raw + dst) / 1000) << zone << " local " << local;
            ASSERT_TRUE(U_SUCCESS(status));
        }
    }
    RecordProperty("changes", static_cast<int>(changes));
    EXPECT_GT(changes, 1000u);
}
// clang-format on

TEST(TzdataVersion, IsARecentRelease) {
    // Mexico's end of daylight saving (2022f) and later changes are in the data.
    const std::string version = TzdataVersion();
    ASSERT_TRUE(std::regex_match(version, std::regex("[0-9]{4}[a-z]"))) << version;
    EXPECT_GE(version, "2022g");
}

}  // namespace
}  // namespace qv
