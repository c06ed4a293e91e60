// The gazetteer's translation catalogs: the .mo reader, damaged and odd
// files among the catalogs, and the names that are kept.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "atlas/place_names.h"

namespace qv {
namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

// A GNU gettext catalog of `messages` (already in the order a catalog keeps),
// little- or big-endian.
std::string Catalog(const Messages& messages, bool bigEndian = false) {
    const auto word = [&](std::uint32_t w) {
        if (bigEndian) w = __builtin_bswap32(w);
        return std::string(reinterpret_cast<const char*>(&w), 4);
    };
    const auto n = static_cast<std::uint32_t>(messages.size());
    const std::uint32_t originals = 28, translations = originals + 8 * n;
    std::string strings;
    std::string tables[2];
    std::uint32_t at = translations + 8 * n;
    for (int side = 0; side < 2; ++side) {
        for (const auto& m : messages) {
            const std::string& s = side == 0 ? m.first : m.second;
            tables[side] += word(static_cast<std::uint32_t>(s.size())) + word(at);
            strings += s + '\0';
            at += static_cast<std::uint32_t>(s.size()) + 1;
        }
    }
    return word(0x950412de) + word(0) + word(n) + word(originals) + word(translations) + word(0) + word(0) + tables[0] +
           tables[1] + strings;
}

using Parsed = std::vector<std::pair<std::string_view, std::string_view>>;

TEST(MessageCatalog, ReadsBothByteOrdersAndRefusesDamage) {
    const Messages messages = {{"", "Project-Id-Version: geonames\n"},
                               {"2867714", "München"},
                               {"DE.02", "Bayern"},
                               {std::string("one\0many", 8), std::string("eins\0viele", 10)}};
    const Parsed expected = {
        {"", "Project-Id-Version: geonames\n"}, {"2867714", "München"}, {"DE.02", "Bayern"}, {"one", "eins"}};
    const std::string little = Catalog(messages), big = Catalog(messages, true);
    EXPECT_EQ(ParseMessageCatalog(little), expected);
    EXPECT_EQ(ParseMessageCatalog(big), expected);
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string farString = little, farTable = little, manyEntries = little, revision = little;
    farString[28 + 8 + 7] = '\x7f';  // the second original's offset far beyond the end
    farTable[12] = '\xf0';           // the table of originals beyond the end
    manyEntries[8] = manyEntries[9] = manyEntries[10] = '\xff';
    revision[6] = '\x02';  // major revision 2
    const Case damaged[] = {
        {"empty", ""},
        {"a header cut short", little.substr(0, 19)},
        {"another magic number", "\x12\x34\x56\x78" + little.substr(4)},
        {"cut inside the strings", little.substr(0, little.size() - 12)},
        {"a string beyond the end", farString},
        {"a table beyond the end", farTable},
        {"more entries than bytes", manyEntries},
        {"an unknown major revision", revision},
    };
    for (const Case& c : damaged) EXPECT_TRUE(ParseMessageCatalog(c.bytes).empty()) << c.what;
}

// clang-format off
TEST(MessageCatalog, KeepsOnlyTextsThatCanBeNames) {
    struct Case { std::string text; bool usable; };
    const Case cases[] = {
        {"München", true},               {"東京都", true},                 {"Toquio - 東京", true},
        {"", false},                     {"Evil\x1b]0;x\x07", false},      {"Line\nbreak", false},
        {"Del\x7f", false},              {"C1 \xc2\x85 next line", false}, {"Bad \xff byte", false},
        {"Cut \xe6\x9d", false},         {std::string(200, 'a'), true},    {std::string(201, 'a'), false},
    };
    for (const auto& c : cases) EXPECT_EQ(UsablePlaceName(c.text), c.usable) << c.text;
}
// clang-format on

class CatalogFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("qv_catalogs_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path Language(const std::string& language) {
        const auto path = folder_ / language / "LC_MESSAGES";
        std::filesystem::create_directories(path);
        return path / "geonames.mo";
    }
    void Write(const std::string& language, const std::string& bytes) {
        std::ofstream(Language(language), std::ios::binary) << bytes;
    }
    std::filesystem::path folder_;
};

TEST_F(CatalogFolder, CountsTheCatalogsOfEachNameAndPassesOverOddFiles) {
    Write("de", Catalog({{"", "header"}, {"2867714", "München"}, {"2761369", "Wien"}, {"DE", "Deutschland"}}));
    Write("nl", Catalog({{"2867714", "München"}, {"2761369", "Wenen"}, {"bad", "Evil\x1b"}}, true));
    Write("xx", "not a catalog at all");
    ASSERT_EQ(::mkfifo(Language("fifo").c_str(), 0600), 0);  // must not wait for a writer
    std::filesystem::create_directories(Language("dir"));    // a folder where the catalog should be
    std::ofstream(folder_ / "README") << "a file beside the languages";

    const PlaceNames read = ReadPlaceNames(folder_.string());
    const std::vector<PlaceName> expected = {
        {"2867714", "München", 2}, {"2761369", "Wien", 1}, {"DE", "Deutschland", 1}, {"2761369", "Wenen", 1}};
    EXPECT_EQ(read.names, expected);
    EXPECT_EQ(read.catalogs.size(), 2u);
    EXPECT_TRUE(ReadPlaceNames((folder_ / "none").string()).names.empty());
}

}  // namespace
}  // namespace qv
