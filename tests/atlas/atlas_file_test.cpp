// The atlas file: the mapped index against the index built in memory, which
// stays the judge; files cut short, damaged, foreign or stale; where the
// program finds its file and what it does when none can be read or written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "atlas/atlas_file.h"
#include "atlas/atlas_load.h"
#include "atlas/nearest.h"
#include "atlas/place_names.h"
#include "atlas/places.h"
#include "tests/support/case_count.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// The layout as docs/atlas.md gives it: the table of contents after 40
// bytes, 16 bytes a section (offset, size).
constexpr std::size_t kContents = 40;
enum Section { kSources, kText, kCities, kRegionText, kStates, kCountries, kZones, kDetails, kKeys, kLabels = 13 };

std::uint64_t Word64(const std::string& bytes, std::size_t at) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + at, 8);
    return w;
}

void PutWord64(std::string& bytes, std::size_t at, std::uint64_t w) { std::memcpy(bytes.data() + at, &w, 8); }

std::uint64_t SectionOffset(const std::string& bytes, int section) { return Word64(bytes, kContents + 16 * section); }

// The checksum made right again, so that what lies behind it is reached.
void MendChecksum(std::string& bytes) { PutWord64(bytes, kAtlasChecksumAt, AtlasFileChecksum(bytes)); }

// The bytes at an address that is a multiple of eight, as a mapping's are.
class Aligned {
public:
    explicit Aligned(std::string_view bytes) : words_(bytes.size() / 8 + 1) {
        std::memcpy(words_.data(), bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    std::string_view View() const { return {reinterpret_cast<const char*>(words_.data()), size_}; }

private:
    std::vector<std::uint64_t> words_;
    std::size_t size_ = 0;
};

Place City(const char* name, const char* state, const char* country, const char* code, std::uint32_t population,
           std::uint32_t id, double latitude, double longitude) {
    Place p;
    p.name = name;
    p.state = state;
    p.country = country;
    p.countryCode = code;
    p.latitude = latitude;
    p.longitude = longitude;
    p.zoneId = "Europe/Berlin";
    p.population = population;
    p.id = id;
    return p;
}

// A small world with the traits the tables hold apart: other names, two
// cities of one label, a city named as its country.
PlaceIndex SmallWorld() {
    static const std::vector<Place> cities = {
        City("Munich", "Bavaria", "Germany", "DE", 1260391, 2867714, 48.137, 11.575),
        City("Moscow", "Moscow", "Russia", "RU", 10381222, 524901, 55.752, 37.616),
        City("Udaipur", "Rajasthan", "India", "IN", 422784, 1253986, 24.586, 73.713),
        City("Udaipur", "Rajasthan", "India", "IN", 30264, 1253985, 27.723, 75.472),
        City("Singapore", "", "Singapore", "SG", 5600000, 1880252, 1.290, 103.850),
        City("St. Petersburg", "Florida", "United States of America", "US", 257083, 4171563, 27.771, -82.679),
    };
    static const std::vector<PlaceName> names = {
        {"2867714", "München", 9}, {"524901", "Москва", 14}, {"SG", "Singapur", 20}, {"DE", "Deutschland", 4}};
    return PlaceIndex(cities, names);
}

const char* const kSmallWorldTexts[] = {"Mu",
                                        "München",
                                        "Muenchen",
                                        "Москва",
                                        "Udaipur",
                                        "Singapur",
                                        "St Pete",
                                        "Munich, Deutschland",
                                        "Udaipur, India (27°43′N 75°28′E)"};

void ExpectSameAnswers(const PlaceIndex& judged, const PlaceIndex& judge) {
    ASSERT_EQ(judged.size(), judge.size());
    for (std::size_t i = 0; i < judge.size(); ++i) EXPECT_EQ(judged.at(i), judge.at(i)) << i;
    for (const char* text : kSmallWorldTexts) EXPECT_EQ(judged.Find(text, 5), judge.Find(text, 5)) << text;
    EXPECT_FALSE(judge.Find("München", 1).empty());
}

class AtlasFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/qv-atlas-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder_ = name;
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }
    void Write(const fs::path& file, std::string_view bytes) {
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path folder_;
};

// The file the build made, mapped, answers every query as the index built
// in memory: the common queries, every city by its own label, random starts
// of names, and the places nearest random points.
TEST(AtlasFile, TheMappedIndexAnswersAsTheIndexBuiltInMemory) {
    const std::string sources = CurrentAtlasSources();
    const AtlasFileRead read = OpenAtlasFile(QV_ATLAS_FILE, sources);
    ASSERT_TRUE(read.index) << QV_ATLAS_FILE << ": " << read.problem;
    const PlaceIndex& mapped = *read.index;
    const PlaceIndex memory = BuildAtlasInMemory();
    ASSERT_EQ(mapped.size(), memory.size());
    EXPECT_EQ(mapped.MemoryBytes(), 0u);

    std::vector<std::string> texts;
    std::ifstream queries(QV_TEST_DATA "/places/queries.tsv");
    for (std::string line; std::getline(queries, line);)
        if (!line.empty() && line[0] != '#') texts.push_back(line.substr(0, line.find('\t')));
    EXPECT_GT(texts.size(), 130u);
    std::mt19937 random(32);
    for (std::uint64_t i = 0; i < RandomCaseCount(5000); ++i) {
        const std::string name = memory.at(random() % memory.size()).name;
        texts.push_back(name.substr(0, 2 + random() % 5));
    }
    std::size_t differ = 0;
    for (const std::string& text : texts)
        if (mapped.Find(text, 10) != memory.Find(text, 10) && ++differ <= 10) ADD_FAILURE() << text;
    const std::size_t step = kSanitized ? 37 : 1;
    for (std::size_t i = 0; i < memory.size(); i += step) {
        const Place city = memory.at(i);
        if (mapped.at(i) != city && ++differ <= 10) ADD_FAILURE() << "city " << i;
        if (mapped.Find(PlaceLabel(city), 1) != memory.Find(PlaceLabel(city), 1) && ++differ <= 10)
            ADD_FAILURE() << PlaceLabel(city);
    }
    const NearbyIndex nearby(mapped);
    for (std::uint64_t i = 0; i < RandomCaseCount(3000); ++i) {
        const double latitude = std::uniform_real_distribution<double>(-70, 75)(random);
        const double longitude = std::uniform_real_distribution<double>(-180, 180)(random);
        const auto near = nearby.Nearest(latitude, longitude, 5, 150);
        const auto judge = NearestPlacesByScanning(memory, latitude, longitude, 5, 150);
        bool same = near.size() == judge.size();
        for (std::size_t k = 0; same && k < near.size(); ++k)
            same = near[k].place == judge[k].place && near[k].distanceKm == judge[k].distanceKm;
        if (!same && ++differ <= 10) ADD_FAILURE() << latitude << ", " << longitude;
    }
    EXPECT_EQ(differ, 0u);
}

// The build tree's programs and tests find the file the build made.
TEST(AtlasFile, TheBuildTreesFileIsFoundFirst) {
    const AtlasLocations where = DefaultAtlasLocations();
    ASSERT_FALSE(where.files.empty());
    EXPECT_EQ(where.files.front(), fs::path(QV_ATLAS_FILE));
    int builds = 0;
    const LoadedAtlas loaded = LoadAtlasFiles(where, CurrentAtlasSources(), [&builds] {
        ++builds;
        return SmallWorld();
    });
    EXPECT_EQ(loaded.origin, AtlasOrigin::File) << loaded.notes;
    EXPECT_EQ(builds, 0);
    EXPECT_EQ(Atlas().size(), loaded.index.size());
}

TEST(AtlasFile, ItsBytesReadBackAsTheTablesWritten) {
    const PlaceIndex judge = SmallWorld();
    const std::string bytes = AtlasFileBytes(judge.Tables(), "sources\n");
    EXPECT_EQ(bytes.size() % 8, 0u);
    const Aligned aligned(bytes);
    std::string problem;
    const auto tables = ReadAtlasBytes(aligned.View(), "sources\n", problem);
    ASSERT_TRUE(tables) << problem;
    ExpectSameAnswers(PlaceIndex(*tables, nullptr), judge);
    EXPECT_EQ(AtlasFileBytes(*tables, "sources\n"), bytes);  // made alike every time
}

// clang-format off
TEST_F(AtlasFolder, FilesCutShortDamagedForeignOrStaleAreRefused) {
    const std::string good = AtlasFileBytes(SmallWorld().Tables(), "sources\n");
    struct Case { const char* what; std::function<std::string()> bytes; const char* problem; };
    const auto changed = [&good](std::function<void(std::string&)> change, bool mend) {
        return [=] { std::string b = good; change(b); if (mend) MendChecksum(b); return b; };
    };
    const auto flip = [](std::size_t section, std::size_t within) {
        return [=](std::string& b) { b[SectionOffset(b, static_cast<int>(section)) + within] ^= 0x20; };
    };
    const Case cases[] = {
        {"empty", [] { return std::string(); }, "not an atlas file"},
        {"a text file", [] { return std::string("München\tMunich\n"); }, "not an atlas file"},
        {"the header only", [&] { return good.substr(0, 100); }, "cut short"},
        {"one byte short", [&] { return good.substr(0, good.size() - 1); }, "cut short"},
        {"half", [&] { return good.substr(0, good.size() / 2); }, "cut short"},
        {"a byte more", [&] { return good + '\0'; }, "bytes long"},
        {"another program's", changed([](std::string& b) { b[0] = 'X'; }, false), "not an atlas file"},
        {"another layout", changed([](std::string& b) { b[8] += 1; }, false), "layout 2, not 1"},
        {"another byte order", changed([](std::string& b) { std::swap(b[12], b[15]); }, false), "byte order"},
        {"a name damaged", changed(flip(kText, 2), false), "checksum"},
        {"a city damaged", changed(flip(kCities, 20), false), "checksum"},
        {"a key damaged", changed(flip(kKeys, 1), false), "checksum"},
        {"a label damaged", changed(flip(kLabels, 3), false), "checksum"},
        {"the checksum damaged", changed([](std::string& b) { b[kAtlasChecksumAt] ^= 1; }, false), "checksum"},
        {"made from other sources", [] { return AtlasFileBytes(SmallWorld().Tables(), "other\n"); }, "stale"},
        {"a city's state outside, checksum mended",
         changed([](std::string& b) { PutWord64(b, SectionOffset(b, kCities) + 24, 0xFFFFFFFF00000000u); }, true),
         "a city lies outside"},
        {"a city's name outside, checksum mended",
         changed([](std::string& b) { PutWord64(b, SectionOffset(b, kCities) + 16, 0x00000010FFFFFFF0u); }, true),
         "a city lies outside"},
        {"a state's name outside, checksum mended",
         changed([](std::string& b) { PutWord64(b, SectionOffset(b, kStates), 0x00000010FFFFFFF0u); }, true),
         "state or country lies outside"},
        {"a zone outside, checksum mended",
         changed([](std::string& b) { PutWord64(b, SectionOffset(b, kZones), 0x0000000100FFFFFFu); }, true),
         "zone lies outside"},
        {"a label detail outside, checksum mended",
         changed([](std::string& b) { PutWord64(b, SectionOffset(b, kDetails), 0xFFFFFF0000000000u); }, true),
         "label detail lies outside"},
        {"a section beyond the file, checksum mended",
         changed([](std::string& b) { PutWord64(b, kContents + 16 * kKeys, b.size()); }, true), "table of contents"},
        {"a section not aligned, checksum mended",
         changed([](std::string& b) { PutWord64(b, kContents + 16 * kCities, SectionOffset(b, kCities) + 4); }, true),
         "table of contents"},
        {"a text running on past its end, checksum mended",
         changed([](std::string& b) { b[SectionOffset(b, kKeys) + Word64(b, kContents + 16 * kKeys + 8)] = 'x'; }, true),
         "runs on"},
    };
    const fs::path file = folder_ / "places.qvatlas";
    for (const Case& c : cases) {
        const std::string bytes = c.bytes();
        Write(file, bytes);
        const AtlasFileRead read = OpenAtlasFile(file, "sources\n");
        EXPECT_FALSE(read.index) << c.what;
        EXPECT_NE(read.problem.find(c.problem), std::string::npos) << c.what << ": " << read.problem;
        std::string problem;
        EXPECT_FALSE(ReadAtlasBytes(Aligned(bytes).View(), "sources\n", problem)) << c.what;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.what << ": " << problem;
    }
    Write(file, good);
    EXPECT_TRUE(OpenAtlasFile(file, "sources\n").index);
    EXPECT_NE(OpenAtlasFile(folder_ / "none", "sources\n").problem.find("no such file"), std::string::npos);
    EXPECT_NE(OpenAtlasFile(folder_, "sources\n").problem.find("not an ordinary file"), std::string::npos);
}
// clang-format on

// Whatever a file's bytes, once its checksum is right, a search of what the
// reader accepts stays within them (the sanitizers' run checks every read).
TEST(AtlasFile, ADamagedFileWithItsChecksumMendedNeverMisleadsASearch) {
    const std::string good = AtlasFileBytes(SmallWorld().Tables(), "sources\n");
    std::mt19937 random(3201);
    std::size_t accepted = 0;
    for (std::uint64_t i = 0; i < RandomCaseCount(3000); ++i) {
        std::string bytes = good;
        for (int k = 0, n = 1 + static_cast<int>(random() % 4); k < n; ++k) {
            // Past the header mostly: the tables behind a right table of contents.
            const std::size_t at = (random() % 4 == 0 ? 40 : 300) + random() % (bytes.size() - 300);
            bytes[at] = static_cast<char>(random() % 3 == 0 ? random() : bytes[at] ^ (1 << (random() % 8)));
        }
        MendChecksum(bytes);
        const Aligned aligned(bytes);
        std::string problem;
        const auto tables = ReadAtlasBytes(aligned.View(), std::nullopt, problem);
        if (!tables) {
            EXPECT_FALSE(problem.empty());
            continue;
        }
        ++accepted;
        const PlaceIndex index(*tables, nullptr);
        for (std::size_t c = 0; c < index.size(); ++c) {
            const Place city = index.at(c);
            index.Find(PlaceLabel(city), 3);
            index.FindByScanning(city.name, 3);
        }
        for (const char* text : kSmallWorldTexts) index.Find(text, 5);
        NearbyIndex(index).Nearest(30, 60, 5, 20000);
    }
    EXPECT_GT(accepted, 0u);
}

// Where the atlas comes from, in turn: the files given, the cache folder's,
// else built and written into the cache folder for the next run, else built
// in memory only. A file that cannot be used never stops the next choice.
TEST_F(AtlasFolder, TheAtlasComesFromTheFirstUsableFileElseIsBuiltAndCached) {
    const std::string sources = "gazetteer 1\n";
    const std::string good = AtlasFileBytes(SmallWorld().Tables(), sources);
    const fs::path shipped = folder_ / "shipped.qvatlas", cache = folder_ / "cache" / "quorvane";
    const fs::path cached = cache / kAtlasFileName;
    struct Case {
        const char* what;
        std::function<void()> setUp;
        AtlasOrigin origin;
        int builds;
        fs::path cacheFolder;
        const char* note;
    };
    const auto none = [] {};
    const Case cases[] = {
        {"the shipped file", [&] { Write(shipped, good); }, AtlasOrigin::File, 0, cache, ""},
        {"no file: made into the cache", [&] { fs::remove(shipped); }, AtlasOrigin::MadeIntoCache, 1, cache,
         "no such file"},
        {"the cache made before", none, AtlasOrigin::Cache, 0, cache, "no such file"},
        {"a stale cache", [&] { Write(cached, AtlasFileBytes(SmallWorld().Tables(), "gazetteer 0\n")); },
         AtlasOrigin::MadeIntoCache, 1, cache, "stale"},
        {"a cache cut short", [&] { Write(cached, good.substr(0, good.size() - 8)); }, AtlasOrigin::MadeIntoCache, 1,
         cache, "cut short"},
        {"a damaged shipped file and a good cache",
         [&] { Write(shipped, AtlasFileBytes(SmallWorld().Tables(), "other\n")); }, AtlasOrigin::Cache, 0, cache,
         "stale"},
        {"a cache folder inside a file", [&] { Write(folder_ / "plain", "x"); }, AtlasOrigin::InMemory, 1,
         folder_ / "plain" / "quorvane", "cannot be made"},
        {"a cache file that is a folder", [&] { fs::create_directories(folder_ / "c2" / kAtlasFileName); },
         AtlasOrigin::InMemory, 1, folder_ / "c2", "is a folder"},
        {"a cache file that is a named pipe", [&] { ::mkfifo((folder_ / "c3" / kAtlasFileName).c_str(), 0600); },
         AtlasOrigin::InMemory, 1, folder_ / "c3", "not an ordinary file"},
        {"no cache folder", none, AtlasOrigin::InMemory, 1, fs::path(), "no cache folder"},
    };
    fs::create_directories(folder_ / "c3");
    for (const Case& c : cases) {
        c.setUp();
        int builds = 0;
        const LoadedAtlas loaded =
            LoadAtlasFiles({{folder_ / "missing.qvatlas", shipped}, c.cacheFolder}, sources, [&builds] {
                ++builds;
                return SmallWorld();
            });
        EXPECT_EQ(loaded.origin, c.origin) << c.what << ":\n" << loaded.notes;
        EXPECT_EQ(builds, c.builds) << c.what;
        EXPECT_NE(loaded.notes.find(c.note), std::string::npos) << c.what << ":\n" << loaded.notes;
        ExpectSameAnswers(loaded.index, SmallWorld());
        if (c.origin == AtlasOrigin::MadeIntoCache) {
            EXPECT_EQ(loaded.file, cached);
            EXPECT_EQ(Read(cached), good) << c.what;
            struct stat file {
            }, folder{};
            ASSERT_EQ(::stat(cached.c_str(), &file), 0);
            ASSERT_EQ(::stat(cache.c_str(), &folder), 0);
            EXPECT_EQ(file.st_mode & 0777, 0600u) << c.what;
            EXPECT_EQ(folder.st_mode & 0777, 0700u) << c.what;
        }
    }
}

TEST_F(AtlasFolder, TheRecordOfSourcesFollowsTheCatalogs) {
    const auto catalog = [this](const char* language) {
        fs::create_directories(folder_ / language / "LC_MESSAGES");
        return folder_ / language / "LC_MESSAGES" / "geonames.mo";
    };
    Write(catalog("de"), "one");
    const std::string first = CurrentAtlasSources(folder_.string());
    EXPECT_EQ(first.rfind("quorvane atlas " + std::to_string(kAtlasFileVersion) + "\n", 0), 0u) << first;
    EXPECT_NE(first.find("\ngazetteer /"), std::string::npos) << first;
    EXPECT_NE(first.find("\ncatalog " + catalog("de").string() + " 3 "), std::string::npos) << first;
    EXPECT_NE(first.find("zone1970.tab"), std::string::npos) << first;
    EXPECT_EQ(CurrentAtlasSources(folder_.string()), first);
    fs::create_directories(folder_ / "xx");  // a language without the gazetteer's catalog
    EXPECT_EQ(CurrentAtlasSources(folder_.string()), first);

    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"a catalog rewritten", [&] { Write(catalog("de"), "three"); }},
        {"a catalog's time changed",
         [&] { fs::last_write_time(catalog("de"), fs::last_write_time(catalog("de")) - std::chrono::hours(1)); }},
        {"a catalog added", [&] { Write(catalog("fr"), "un"); }},
        {"a catalog removed", [&] { fs::remove(catalog("de")); }},
        // The zones are fitted to the installed tz database: its tables count too.
        {"another tz database",
         [&] {
             Write(folder_ / "zone1970.tab", "#\n");
             ::setenv("TZDIR", folder_.c_str(), 1);
         }},
        {"its zone table rewritten", [&] { Write(folder_ / "zone1970.tab", "# changed\n"); }},
    };
    const char* tzdir = std::getenv("TZDIR");
    const std::optional<std::string> savedTzdir = tzdir ? std::optional<std::string>(tzdir) : std::nullopt;
    std::string before = first;
    for (const Case& c : cases) {
        c.change();
        const std::string after = CurrentAtlasSources(folder_.string());
        EXPECT_NE(after, before) << c.what;
        before = after;
    }
    savedTzdir ? ::setenv("TZDIR", savedTzdir->c_str(), 1) : ::unsetenv("TZDIR");
}

TEST(AtlasFile, TheCacheFolderFollowsTheEnvironment) {
    const auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const std::optional<std::string> cache = saved("XDG_CACHE_HOME"), home = saved("HOME");
    struct Case {
        const char* cache;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/x/cache", "/home/ada", "/x/cache/quorvane"},
        {nullptr, "/home/ada", "/home/ada/.cache/quorvane"},
        {"", "/home/ada", "/home/ada/.cache/quorvane"},
        {"relative", "/home/ada", "/home/ada/.cache/quorvane"},
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
    };
    for (const Case& c : cases) {
        c.cache ? ::setenv("XDG_CACHE_HOME", c.cache, 1) : ::unsetenv("XDG_CACHE_HOME");
        c.home ? ::setenv("HOME", c.home, 1) : ::unsetenv("HOME");
        EXPECT_EQ(DefaultAtlasLocations().cacheFolder, fs::path(c.folder)) << (c.cache ? c.cache : "(unset)");
    }
    cache ? ::setenv("XDG_CACHE_HOME", cache->c_str(), 1) : ::unsetenv("XDG_CACHE_HOME");
    home ? ::setenv("HOME", home->c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace
}  // namespace qv
