#include <gtest/gtest.h>

#include <array>
#include <string>

#include "chart/chart_wheel.h"

namespace qv {
namespace {

constexpr std::array<const char*, 12> kAbbrevs = {"Ari", "Tau", "Gem", "Can", "Leo", "Vir",
                                                  "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis"};
constexpr std::array<std::string_view, 11> kBodies = {"Sun",    "Moon",   "Mercury", "Venus", "Mars", "Jupiter",
                                                      "Saturn", "Uranus", "Neptune", "Pluto", "Asc"};

// Sign 0..11 of an abbreviation; -1, no sign, for any other text.
std::int8_t SignOf(std::string_view abbrev) {
    for (std::size_t k = 0; k < kAbbrevs.size(); ++k)
        if (abbrev == kAbbrevs[k]) return static_cast<std::int8_t>(k);
    return -1;
}

// Bodies 0..9 and the ascendant (slot 10) in the given signs.
ChartState StateWith(const std::array<std::string_view, 11>& signs) {
    ChartState s;
    for (int k = 0; k < 11; ++k) {
        s.BodyLabel[k] = FixedText::Of(kBodies[k]);
        s.BodySign[k] = SignOf(signs[k]);
    }
    s.MoonSignName = "Leo";
    return s;
}

// The boxes' display texts, by sign and by house.
std::array<std::string, 12> SignTexts(const ChartState& s, const ChartWheel& w) {
    std::array<std::string, 12> texts;
    for (int k = 0; k < 12; ++k) texts[k] = BoxText(s, w.signBoxes[k]);
    return texts;
}
std::array<std::string, 12> HouseTexts(const ChartState& s, const ChartWheel& w) {
    std::array<std::string, 12> texts;
    for (int h = 0; h < 12; ++h) texts[h] = BoxText(s, w.houseBox(h));
    return texts;
}

constexpr std::array<std::string_view, 11> kWorked = {"Ari", "Leo", "Ari", "Tau", "Sag", "Vir",
                                                      "Cap", "Cap", "Cap", "Sco", "Leo"};

TEST(ChartWheel, SignBoxesListBodiesInOrderAscendantLast) {
    ChartState s = StateWith(kWorked);
    s.BodyLabel[2] = "Mercury (R) ";
    ChartWheel w;
    FillChartWheel(s, w);
    const std::array<std::string, 12> expected = {"\r\nSun\r\nMercury (R) ",
                                                  "\r\nVenus",
                                                  "",
                                                  "",
                                                  "\r\nMoon\r\nAsc",
                                                  "\r\nJupiter",
                                                  "",
                                                  "\r\nPluto",
                                                  "\r\nMars",
                                                  "\r\nSaturn\r\nUranus\r\nNeptune",
                                                  "",
                                                  ""};
    EXPECT_EQ(SignTexts(s, w), expected);
    // The bodies the texts are joined from.
    EXPECT_EQ(w.signBoxes[0], (WheelBox{0b101, false}));
    EXPECT_EQ(w.signBoxes[4], (WheelBox{0b10, true}));
    EXPECT_EQ(w.signBoxes[2], WheelBox{});
    EXPECT_EQ(w.firstHouseSign, 4);
}

TEST(ChartWheel, HousesAndPicturesStartAtTheAscendantsSign) {
    struct Case {
        std::string_view asc;
        int ascSign;
    };
    const Case cases[] = {{"Ari", 0}, {"Leo", 4}, {"Aqu", 10}, {"Pis", 11}};
    for (const Case& c : cases) {
        std::array<std::string_view, 11> signs = kWorked;
        signs[10] = c.asc;
        ChartState s = StateWith(signs);
        ChartWheel w;
        FillChartWheel(s, w);
        const auto houses = HouseTexts(s, w), signTexts = SignTexts(s, w);
        for (int h = 0; h < 12; ++h) {
            const int sign = (c.ascSign + h) % 12;
            EXPECT_EQ(houses[h], signTexts[sign]) << c.asc << " house " << h + 1;
            EXPECT_EQ(w.imgSign[h], sign + 1) << c.asc << " house " << h + 1;
        }
        EXPECT_TRUE(houses[0].ends_with("\r\nAsc")) << c.asc;
    }
}

TEST(ChartWheel, AscendantInPiscesPutsPiscesThenAries) {
    std::array<std::string_view, 11> signs = kWorked;
    signs[10] = "Pis";
    ChartState s = StateWith(signs);
    ChartWheel w;
    FillChartWheel(s, w);
    EXPECT_EQ(BoxText(s, w.houseBox(0)), "\r\nAsc");
    EXPECT_EQ(BoxText(s, w.houseBox(1)), "\r\nSun\r\nMercury");
    EXPECT_EQ(w.imgSign[0], 12);
    EXPECT_EQ(w.imgSign[1], 1);
    EXPECT_EQ(w.lblLagna, "Pisces");
}

TEST(ChartWheel, SignNamesOfAscendantAndMoon) {
    struct Case {
        std::int8_t ascendantSign;
        std::string expectedLagna;  // "keep" means the previous caption stays
    };
    const Case cases[] = {{3, "Cancer"}, {8, "Sagittarius"}, {11, "Pisces"}, {0, "Aries"}, {-1, "keep"}};
    for (const Case& c : cases) {
        ChartState s = StateWith(kWorked);
        s.BodySign[10] = c.ascendantSign;
        s.MoonSignName = "Virgo";
        ChartWheel w;
        w.lblLagna = "keep";
        FillChartWheel(s, w);
        EXPECT_EQ(w.lblLagna, c.expectedLagna) << int{c.ascendantSign};
        EXPECT_EQ(w.lblRashi, "Virgo");
    }
}

TEST(ChartWheel, UnknownSignsPlaceNothingAndKeepPictures) {
    std::array<std::string_view, 11> signs = kWorked;
    signs[0] = "XYZ";
    signs[10] = "xyz";
    ChartState s = StateWith(signs);
    s.BodySign[1] = -1;  // a longitude whose text names no sign
    ChartWheel w;
    w.imgSign = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2};
    const auto pictures = w.imgSign;
    FillChartWheel(s, w);
    EXPECT_EQ(w.imgSign, pictures);
    for (const std::string& box : SignTexts(s, w)) {
        EXPECT_EQ(box.find("Sun"), std::string::npos);
        EXPECT_EQ(box.find("Moon"), std::string::npos);
        EXPECT_EQ(box.find("Asc"), std::string::npos);
    }
    EXPECT_EQ(HouseTexts(s, w), SignTexts(s, w));  // without an ascendant the houses run from Aries
    EXPECT_EQ(w.firstHouseSign, 0);
}

TEST(ChartWheel, SecondChartReplacesTheFirst) {
    ChartWheel w;
    FillChartWheel(StateWith(kWorked), w);
    std::array<std::string_view, 11> other;
    other.fill("Gem");
    const ChartState s = StateWith(other);
    FillChartWheel(s, w);
    ChartWheel fresh;
    FillChartWheel(s, fresh);
    EXPECT_EQ(w.signBoxes, fresh.signBoxes);
    EXPECT_EQ(w.imgSign, fresh.imgSign);
    EXPECT_EQ(w.lblLagna, "Gemini");
    for (int h = 1; h < 12; ++h) EXPECT_EQ(BoxText(s, w.houseBox(h)), "") << h;
}

}  // namespace
}  // namespace qv
