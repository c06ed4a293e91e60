// A saved reading is kept safe from the other save dialogs: the text export
// never replaces one, and Save As does not offer another person's reading.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "chart/chart_run.h"
#include "formats/reading_file.h"
#include "formats/text_export.h"
#include "tests/reading/temp_folder.h"

namespace qv {
namespace {

using testing_support::TempFolder;

ChartState ChartOf(const std::string& name) {
    ChartState state;
    ChartWheel wheel;
    EXPECT_FALSE(CalculateChartOf({.name = name,
                                   .local = {1962, 6, 15, 14, 30},
                                   .zoneSlot = 18,
                                   .latitude = {41, 51},
                                   .longitude = {87, 39, true},
                                   .city = "Chicago",
                                   .state = "Illinois",
                                   .country = "USA"},
                                  state, wheel)
                     .has_value());
    return state;
}

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST(ReadingSafety, TheExportNeverReplacesASavedReading) {
    TempFolder folder;
    const ChartState ada = ChartOf("Ada");
    std::string reading;
    ASSERT_FALSE(ReadingFileBytes(ada, reading).has_value());
    struct Case {
        const char* name;
        std::string bytes;  // empty: no file there
        bool refused;
    };
    const Case cases[] = {
        {"victim.qvn", reading, true},        // a reading by its extension and content
        {"VICTIM.QVN", "damaged\r\n", true},  // the extension in any case, however damaged
        {"new.qvn", "", false},               // no file yet: nothing to keep
        {"renamed.txt", reading, true},       // a reading under another name, by its content
        {"notes.txt", "Some notes\r\n", false},
        {"new.txt", "", false},
    };
    for (const Case& c : cases) {
        const std::filesystem::path file = folder / c.name;
        if (!c.bytes.empty()) Write(file, c.bytes);
        const std::optional<std::string> refused = WriteTextExport(file, ada);
        EXPECT_EQ(refused.has_value(), c.refused) << c.name;
        if (c.refused) {
            EXPECT_NE(refused->find(std::string("\"") + c.name + "\" is a saved reading"), std::string::npos)
                << *refused;
            EXPECT_EQ(Bytes(file), c.bytes) << c.name << " left as it was";
        } else {
            EXPECT_EQ(Bytes(file), MakeTextExport(ada)) << c.name;
        }
    }
}

TEST(ReadingSafety, SaveAsOffersThisPersonsNameForAnotherPersonsReading) {
    TempFolder folder;
    std::string bytes;
    ASSERT_FALSE(ReadingFileBytes(ChartOf("Ada"), bytes).has_value());
    Write(folder / "ada.qvn", bytes);
    const std::string ada = (folder / "ada.qvn").string();
    EXPECT_EQ(OfferedReadingName(ada, "Ada"), ada) << "the same person's reading";
    EXPECT_EQ(OfferedReadingName(ada, "  Ada "), ada);
    EXPECT_EQ(OfferedReadingName(ada, "Bea Lu"), (folder / "Bea Lu.qvn").string());
    EXPECT_EQ(OfferedReadingName((folder / "ada.txt").string(), "Bea"), (folder / "Bea.qvn").string())
        << "the export's name of the other person's reading";
    EXPECT_EQ(OfferedReadingName(ada, "a/b"), (folder / "a_b.qvn").string());
    EXPECT_EQ(OfferedReadingName((folder / "none.qvn").string(), "Bea"), (folder / "none.qvn").string());
    EXPECT_EQ(OfferedReadingName("", "Bea"), "");
}

}  // namespace
}  // namespace qv
