#include <gtest/gtest.h>

#include <array>
#include <string>

#include "analysis/elements.h"
#include "chart/personal_data.h"
#include "formats/text_export.h"
#include "tests/reading/temp_folder.h"

namespace qv {
namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

constexpr std::array<const char*, 11> kNames = {"Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
                                                "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};

struct ChartCase {
    const char* name;
    const char* expectedFile;
    ChartState state;
};

ChartState Chart(std::string name, int month, int day, int year, int hour, int minute, int latD, int latM, int lonD,
                 int lonM, std::string city, std::string stateName, std::string country,
                 const std::array<const char*, 11>& positions) {
    ChartState s;
    s.BirthName = std::move(name);
    s.BirthMonth = static_cast<std::int16_t>(month);
    s.BirthDay = static_cast<std::int16_t>(day);
    s.BirthYear = static_cast<std::int16_t>(year);
    s.BirthHour = static_cast<std::int16_t>(hour);
    s.BirthMinute = static_cast<std::int16_t>(minute);
    s.LatDegrees = static_cast<std::int16_t>(latD);
    s.LatMinutes = static_cast<std::int16_t>(latM);
    s.LonDegrees = static_cast<std::int16_t>(lonD);
    s.LonMinutes = static_cast<std::int16_t>(lonM);
    s.BirthCity = std::move(city);
    s.BirthState = std::move(stateName);
    s.BirthCountry = std::move(country);
    const std::string_view signs = "AriTauGemCanLeoVirLibScoSagCapAquPis";
    for (int i = 0; i < 11; ++i) {
        s.PositionName[i] = kNames[i];
        s.PlanetPosition[i] = positions[i];
        // The sign the position text names, as the calculation keeps it.
        s.BodySign[i] = static_cast<std::int8_t>(signs.find(s.PlanetPosition[i].substr(3, 3)) / 3);
    }
    AnalyseElementsQualityHouse(s);
    return s;
}

const ChartCase kCharts[] = {
    {"AllCategoriesPresent", "all_present.txt",
     Chart("Anna Maria", 7, 14, 1987, 23, 5, 40, 42, 74, 0, "New York", "NY", "USA",
           {"21 Can 23", "08 Tau 11", "05 Leo 40", "29 Gem 02", "17 Can 55", "26 Ari 14", "15 Sag 30", "23 Sag 10",
            "06 Cap 18", "07 Sco 45", "12 Aqu 03"})},
    {"MissingCategories", "missing_categories.txt",
     Chart("José", 1, 1, 1950, 0, 5, 47, 22, 8, 32, "Zürich", "ZH", "Switzerland",
           {"10 Gem 12", "00 Gem 00", "29 Gem 59", "01 Gem 01", "02 Gem 02", "03 Gem 03", "04 Gem 04", "05 Gem 05",
            "06 Gem 06", "07 Gem 07", "10 Ari 00"})},
};

class Export : public testing::TestWithParam<ChartCase> {};

TEST_P(Export, BytesMatchTheExpectedFile) {
    const std::string expected = ReadBytes(std::filesystem::path(QV_TEST_DATA) / "export" / GetParam().expectedFile);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(MakeTextExport(GetParam().state), expected);

    TempFolder dir;
    const auto file = dir / "chart.txt";
    ASSERT_EQ(WriteTextExport(file, GetParam().state), std::nullopt);
    EXPECT_EQ(ReadBytes(file), expected);
}

INSTANTIATE_TEST_SUITE_P(Charts, Export, testing::ValuesIn(kCharts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Export, AFailedWriteKeepsTheEarlierExport) {
    TempFolder dir;
    WriteBytes(dir / "chart.txt", "earlier export");
    std::filesystem::create_directory(dir / "folder.txt");
    const auto error = WriteTextExport(dir / "folder.txt", kCharts[0].state);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("folder.txt"), std::string::npos) << *error;
    EXPECT_EQ(ReadBytes(dir / "chart.txt"), "earlier export");
    EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(PersonalData, LabelTexts) {
    ChartState empty = kCharts[1].state;
    empty.BirthName.clear();
    empty.BirthCity.clear();
    empty.BirthState.clear();
    empty.BirthCountry.clear();
    struct Case {
        ChartState state;
        PersonalDataLabels expected;
    };
    const Case cases[] = {
        {kCharts[0].state,
         {"Name: Anna Maria", "City: New York", "State: NY", "Country: USA", "Date of Birth: July 14, 1987",
          "Time of Birth: 23 Hour 5 Minute", "Latitude: 40 Degree 42 Minute", "Longitude: 74 Degree 0 Minute"}},
        {kCharts[1].state,
         {"Name: José", "City: Zürich", "State: ZH", "Country: Switzerland", "Date of Birth: January 1, 1950",
          "Time of Birth: 0 Hour 5 Minute", "Latitude: 47 Degree 22 Minute", "Longitude: 8 Degree 32 Minute"}},
        {empty,
         {"Name: ", "City: ", "State: ", "Country: ", "Date of Birth: January 1, 1950",
          "Time of Birth: 0 Hour 5 Minute", "Latitude: 47 Degree 22 Minute", "Longitude: 8 Degree 32 Minute"}},
    };
    for (const Case& c : cases) EXPECT_EQ(MakePersonalDataLabels(c.state), c.expected) << c.state.BirthName;
}

TEST(PersonalData, MonthNamesAtTheEndsOfTheYear) {
    EXPECT_EQ(MonthName(1), "January");
    EXPECT_EQ(MonthName(12), "December");
    EXPECT_EQ(MonthName(0), "");
    EXPECT_EQ(MonthName(13), "");
}

}  // namespace
}  // namespace qv
