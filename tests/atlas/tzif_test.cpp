#include <gtest/gtest.h>
#include <unicode/basictz.h>
#include <unicode/timezone.h>

#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "atlas/tzif.h"
#include "atlas/zone_at.h"

namespace qv {
namespace {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ZoneRules ReadRules(const std::string& zone) {
    TzifParse p = ParseTzif(ReadBytes(std::filesystem::path(ZoneInfoDirectory()) / zone));
    EXPECT_TRUE(p.rules) << zone << ": " << p.error;
    return p.rules ? std::move(*p.rules) : ZoneRules({}, {}, {{0, false, "UTC"}}, std::nullopt);
}

// 1970-based seconds of a UTC date and time.
std::int64_t Utc(int y, int m, int d, int h = 0, int mi = 0) {
    tm t{};
    t.tm_year = y - 1900, t.tm_mon = m - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi;
    return timegm(&t);
}

// clang-format off
TEST(PosixTz, WellAndBadlyFormedRules) {
    const char* good[] = {"CST6CDT,M3.2.0,M11.1.0", "AEST-10AEDT,M10.1.0,M4.1.0/3", "<+0545>-5:45",
                          "EST5EDT,0/0,J365/25", "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1", "IST-2IDT,M3.4.4/26,M10.5.0",
                          "NZST-12NZDT,M9.5.0,M4.1.0/3", "UTC0", "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0"};
    for (const char* s : good) EXPECT_TRUE(ParsePosixTz(s)) << s;
    const char* bad[] = {"", "C", "CST", "CST6CDT", "CST6CDT,M3.2.0", "CST6CDT,M13.2.0,M11.1.0",
                         "CST6CDT,M3.6.0,M11.1.0", "CST6CDT,M3.2.7,M11.1.0", "CST25", "<+05", "<+05>",
                         "CST6CDT,J0,M11.1.0", "CST6CDT,366,M11.1.0", "CST6CDT,M3.2.0/168,M11.1.0",
                         "CST6CDT,M3.2.0,M11.1.0x", "CST6:60"};
    for (const char* s : bad) EXPECT_FALSE(ParsePosixTz(s)) << s;

    const auto us = *ParsePosixTz("CST6CDT,M3.2.0,M11.1.0");
    EXPECT_EQ(us.standard, (LocalTimeType{-21600, false, "CST"}));
    EXPECT_EQ(us.daylight, (LocalTimeType{-18000, true, "CDT"}));
}
// clang-format on

// clang-format off
TEST(PosixTz, TransitionsOfTheRuleDays) {
    struct Case { const char* rule; int year; std::vector<std::int64_t> starts; };
    const Case cases[] = {
        // Second Sunday of March 02:00 CST, first Sunday of November 02:00 CDT.
        {"CST6CDT,M3.2.0,M11.1.0", 2045, {Utc(2045, 3, 12, 8), Utc(2045, 11, 5, 7)}},
        // Southern: ends first Sunday of April 03:00 AEDT, starts first Sunday of October 02:00 AEST.
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", 2045, {Utc(2045, 4, 1, 16), Utc(2045, 9, 30, 16)}},
        // Fifth week means the last: the last Sunday of March 2045 is the 26th.
        {"CET-1CEST,M3.5.0,M10.5.0/3", 2045, {Utc(2045, 3, 26, 1), Utc(2045, 10, 29, 1)}},
        // J60 is 1 March in leap years too; 59 counted from 0 is 29 February of a leap year.
        {"XST0XDT,J60/0,59/0", 2048, {Utc(2048, 2, 29, 0) - 3600, Utc(2048, 3, 1, 0)}},
        // Thursday before the last Friday of March at 26:00 (Israel).
        {"IST-2IDT,M3.4.4/26,M10.5.0", 2045, {Utc(2045, 3, 24, 0), Utc(2045, 10, 28, 23)}},
    };
    for (const auto& c : cases) {
        std::vector<std::int64_t> starts;
        for (const auto& s : PosixTransitions(*ParsePosixTz(c.rule), c.year, c.year)) starts.push_back(s.start);
        EXPECT_EQ(starts, c.starts) << c.rule;
    }
    // Daylight time all year: the year ends run together, no standard piece between them.
    const auto allYear = PosixTransitions(*ParsePosixTz("EST5EDT,0/0,J365/25"), 2020, 2022);
    ASSERT_FALSE(allYear.empty());
    for (std::size_t i = 0; i + 1 < allYear.size(); ++i) EXPECT_TRUE(allYear[i].type.daylightSaving) << i;
}
// clang-format on

// A version 2 file with an empty first block, for damaging on purpose.
// clang-format off
struct TzifImage {
    std::vector<std::int64_t> times;
    std::vector<std::uint8_t> indices;
    struct Type { std::int32_t offset; std::uint8_t dst, abbr; };
    std::vector<Type> types{{0, 0, 0}};
    std::string chars = std::string("UTC") + '\0';
    std::string footer = "UTC0";

    std::string Bytes() const {
        std::string out;
        const auto be = [&out](std::uint64_t v, int n) {
            for (int i = n - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        const auto header = [&](std::uint32_t time, std::uint32_t type, std::uint32_t chars) {
            out += "TZif2";
            out += std::string(15, '\0');
            for (std::uint32_t c : {0u, 0u, 0u, time, type, chars}) be(c, 4);
        };
        header(0, 1, 1);
        be(0, 4), be(0, 1), be(0, 1), out += '\0';  // one type, one character
        header(static_cast<std::uint32_t>(times.size()), static_cast<std::uint32_t>(types.size()),
               static_cast<std::uint32_t>(chars.size()));
        for (auto t : times) be(static_cast<std::uint64_t>(t), 8);
        for (auto i : indices) out += static_cast<char>(i);
        for (const auto& t : types) be(static_cast<std::uint32_t>(t.offset), 4), out += static_cast<char>(t.dst), out += static_cast<char>(t.abbr);
        out += chars;
        out += '\n' + footer + '\n';
        return out;
    }
};
// clang-format on

// clang-format off
TEST(ParseTzif, DamagedFilesAreRefusedWithTheirFault) {
    TzifImage good;
    good.times = {0, 100};
    good.indices = {1, 0};
    good.types = {{0, 0, 0}, {3600, 1, 4}};
    good.chars = std::string("UTC\0UDT\0", 8);
    ASSERT_TRUE(ParseTzif(good.Bytes()).rules) << ParseTzif(good.Bytes()).error;

    struct Case { const char* what; TzifImage image; const char* error; };
    std::vector<Case> cases;
    const auto damaged = [&](const char* what, auto change, const char* error) {
        TzifImage i = good;
        change(i);
        cases.push_back({what, i, error});
    };
    damaged("order", [](TzifImage& i) { i.times = {100, 0}; }, "its transition times are out of order");
    damaged("index", [](TzifImage& i) { i.indices = {1, 2}; }, "a transition names a local time type that does not exist");
    damaged("offset", [](TzifImage& i) { i.types[1].offset = 30 * 3600; }, "a UTC offset is out of range");
    damaged("flag", [](TzifImage& i) { i.types[1].dst = 2; }, "a local time type is damaged");
    damaged("abbreviation", [](TzifImage& i) { i.types[1].abbr = 8; }, "a local time type is damaged");
    damaged("terminator", [](TzifImage& i) { i.chars = std::string("UTC\0UDT", 7); }, "an abbreviation is not terminated");
    damaged("footer", [](TzifImage& i) { i.footer = "UTC0UDT"; }, "its closing rule is not well formed");
    damaged("types", [](TzifImage& i) { i.types.clear(), i.indices = {}, i.times = {}; }, "it lists no local time types");
    for (const auto& c : cases) EXPECT_EQ(ParseTzif(c.image.Bytes()).error, c.error) << c.what;
    EXPECT_EQ(ParseTzif("TZjf" + good.Bytes().substr(4)).error, "it does not start as a TZif file");
}
// clang-format on

TEST(ParseTzif, EveryCutAndManyByteChangesOfARealFileAreSafe) {
    const std::string bytes = ReadBytes(std::filesystem::path(ZoneInfoDirectory()) / "America/Chicago");
    ASSERT_GT(bytes.size(), 1000u);
    for (std::size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(ParseTzif(bytes.substr(0, n)).rules) << n;

    std::mt19937 random(13);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string changed = bytes;
        for (int k = 0; k < 4; ++k) changed[random() % changed.size()] = static_cast<char>(random());
        const TzifParse p = ParseTzif(changed);
        if (!p.rules) continue;
        // What parses must answer within the bounds of real clocks.
        for (std::int64_t t : {Utc(1850, 1, 1), Utc(1962, 6, 15), Utc(2045, 7, 1)}) {
            const auto type = p.rules->AtUtc(t);
            EXPECT_LT(std::abs(type.utcOffset), 26 * 3600) << trial;
        }
    }
}

std::vector<std::string> TzifFilesUnder(const std::filesystem::path& root) {
    std::vector<std::string> zones;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || ReadBytes(entry.path()).substr(0, 4) != "TZif") continue;
        zones.push_back(std::filesystem::relative(entry.path(), root).string());
    }
    return zones;
}

TEST(ParseTzif, EveryZoneFileOfTheSystemReads) {
    const auto zones = TzifFilesUnder(ZoneInfoDirectory());
    EXPECT_GT(zones.size(), 400u);
    for (const auto& zone : zones) {
        const TzifParse p = ParseTzif(ReadBytes(std::filesystem::path(ZoneInfoDirectory()) / zone));
        EXPECT_TRUE(p.rules) << zone << ": " << p.error;
    }
}

// The C library reads the same files with its own code: both must agree at every instant.
TEST(ZoneRules, AgreesWithTheCLibraryAtRandomInstants) {
    const char* saved = std::getenv("TZ");
    const std::string restore = saved ? saved : "";
    std::mt19937_64 random(1962);
    std::uniform_int_distribution<std::int64_t> instant(Utc(1850, 1, 1), Utc(2100, 1, 1));
    std::size_t zonesSeen = 0;
    for (const auto& zone : TzifFilesUnder(ZoneInfoDirectory())) {
        if (zone.starts_with("right/") || zone.starts_with("posix/")) continue;
        ++zonesSeen;
        const ZoneRules rules = ReadRules(zone);
        setenv("TZ", (":" + zone).c_str(), 1);
        tzset();
        for (int i = 0; i < 60; ++i) {
            const time_t t = instant(random);
            tm local{};
            ASSERT_TRUE(localtime_r(&t, &local));
            const LocalTimeType ours = rules.AtUtc(t);
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
    const std::int64_t from = Utc(1970, 1, 1), to = Utc(2022, 1, 1);
    for (const char* zone : zones) {
        const ZoneRules rules = ReadRules(zone);
        std::unique_ptr<icu::BasicTimeZone> icuZone(
            dynamic_cast<icu::BasicTimeZone*>(icu::TimeZone::createTimeZone(icu::UnicodeString(zone))));
        ASSERT_TRUE(icuZone) << zone;
        std::vector<std::int64_t> locals;
        const auto segments = rules.Segments(from, to);
        for (std::size_t i = 1; i < segments.size(); ++i) {
            const std::int64_t change = segments[i].start;
            const std::int64_t before = segments[i - 1].type.utcOffset, after = segments[i].type.utcOffset;
            for (std::int64_t local : {change + before - 1800, change + (before + after) / 2, change + after + 1800})
                locals.push_back(local);
        }
        for (std::int64_t local : locals) {
            const ZoneAtResult ours = ResolveLocalTime(rules, local);
            UErrorCode status = U_ZERO_ERROR;
            std::int32_t raw = 0, dst = 0;
            icuZone->getOffsetFromLocal(local * 1000.0, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER, raw, dst, status);
            EXPECT_EQ(ours.time.utcOffset, (raw + dst) / 1000) << zone << " local " << local;
            icuZone->getOffsetFromLocal(local * 1000.0, UCAL_TZ_LOCAL_LATTER, UCAL_TZ_LOCAL_LATTER, raw, dst, status);
            EXPECT_EQ(ours.other.utcOffset, (raw + dst) / 1000) << zone << " local " << local;
            ASSERT_TRUE(U_SUCCESS(status));
        }
    }
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
