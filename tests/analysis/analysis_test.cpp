#include <gtest/gtest.h>

#include <array>
#include <string>

#include "analysis/elements.h"

namespace qv {
namespace {

// Sign 0..11 of a three-letter abbreviation ("Ari" … "Pis", case counts);
// -1, no sign, for any other text.
std::int8_t SignOf(std::string_view abbrev) {
    const std::string_view all = "AriTauGemCanLeoVirLibScoSagCapAquPis";
    for (std::size_t s = 0; s < 12; ++s)
        if (all.substr(3 * s, 3) == abbrev) return static_cast<std::int8_t>(s);
    return -1;
}

ChartState StateWith(const std::array<std::string_view, 10>& bodies, std::string_view asc) {
    ChartState s;
    for (int k = 0; k < 10; ++k) s.BodySign[k] = SignOf(bodies[k]);
    s.BodySign[10] = SignOf(asc);
    return s;
}

// Sun, Moon, Mercury, Venus, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto.
constexpr std::array<std::string_view, 10> kWorkedCase = {"Ari", "Leo", "Ari", "Tau", "Sag",
                                                          "Vir", "Cap", "Cap", "Cap", "Sco"};

std::array<std::string_view, 10> AllIn(std::string_view abbrev) {
    std::array<std::string_view, 10> a;
    a.fill(abbrev);
    return a;
}

bool Present(std::string_view message) { return !message.starts_with("M-"); }

struct PresenceCase {
    const char* name;
    std::array<std::string_view, 10> bodies;
    std::string_view asc;
    std::array<bool, 4> element;  // Fire, Earth, Air, Water
    std::array<bool, 3> quality;  // Cardinal, Mutable, Fixed
    std::array<bool, 3> house;    // Angular, Succedent, Cadent
};

class Presence : public testing::TestWithParam<PresenceCase> {};

TEST_P(Presence, CategoriesHoldingABodyArePresent) {
    const PresenceCase& c = GetParam();
    ChartState s = StateWith(c.bodies, c.asc);
    AnalyseElementsQualityHouse(s);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Present(s.ElementResult[i]), c.element[i]) << "element " << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Present(s.QualityResult[i]), c.quality[i]) << "quality " << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Present(s.HouseTypeResult[i]), c.house[i]) << "house type " << i;
    EXPECT_EQ(s.ElementResult[4], "");
    EXPECT_EQ(s.QualityResult[3], "");
    EXPECT_EQ(s.HouseTypeResult[3], "");
}

INSTANTIATE_TEST_SUITE_P(
    Charts, Presence,
    testing::Values(
        PresenceCase{"WorkedCase", kWorkedCase, "Leo", {1, 1, 0, 1}, {1, 1, 1}, {1, 1, 1}},
        PresenceCase{"AllInGemini", AllIn("Gem"), "Ari", {0, 0, 1, 0}, {0, 1, 0}, {0, 0, 1}},
        PresenceCase{"AllInAquariusIsFixedNotMutable", AllIn("Aqu"), "Aqu", {0, 0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
        PresenceCase{"AllInPiscesIsMutableNotFixed", AllIn("Pis"), "Pis", {0, 0, 0, 1}, {0, 1, 0}, {1, 0, 0}},
        // House-type boundaries around an ascendant in Aries.
        PresenceCase{"House1AscendantsOwnSign", AllIn("Ari"), "Ari", {1, 0, 0, 0}, {1, 0, 0}, {1, 0, 0}},
        PresenceCase{"House2SignAfter", AllIn("Tau"), "Ari", {0, 1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        PresenceCase{"House7OppositeSign", AllIn("Lib"), "Ari", {0, 0, 1, 0}, {1, 0, 0}, {1, 0, 0}},
        PresenceCase{"House12SignBefore", AllIn("Pis"), "Ari", {0, 0, 0, 1}, {0, 1, 0}, {0, 0, 1}},
        // The same boundaries where the houses wrap from Pisces to Aries.
        PresenceCase{"WrapHouse2", AllIn("Ari"), "Pis", {1, 0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
        PresenceCase{"WrapHouse12", AllIn("Cap"), "Aqu", {0, 1, 0, 0}, {1, 0, 0}, {0, 0, 1}},
        PresenceCase{"WrapHouse7", AllIn("Vir"), "Pis", {0, 1, 0, 0}, {0, 1, 0}, {1, 0, 0}},
        PresenceCase{"AscendantWithoutAbbreviation", kWorkedCase, "xyz", {1, 1, 0, 1}, {1, 1, 1}, {0, 0, 0}},
        PresenceCase{"EveryCategoryHeld",
                     {"Ari", "Tau", "Gem", "Can", "Ari", "Ari", "Ari", "Ari", "Ari", "Ari"},
                     "Ari",
                     {1, 1, 1, 1},
                     {1, 1, 1},
                     {1, 1, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HouseSign, RunsFromTheAscendantsSignRoundTheZodiac) {
    struct Case {
        std::string_view asc;
        std::array<std::string, 12> expected;
    };
    const Case cases[] = {
        {"Leo", {"Leo", "Vir", "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis", "Ari", "Tau", "Gem", "Can"}},
        {"Ari", {"Ari", "Tau", "Gem", "Can", "Leo", "Vir", "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis"}},
        {"Pis", {"Pis", "Ari", "Tau", "Gem", "Can", "Leo", "Vir", "Lib", "Sco", "Sag", "Cap", "Aqu"}},
        {"pis", {}},  // case counts
        {"", {}},
    };
    for (const Case& c : cases) {
        ChartState s = StateWith(kWorkedCase, c.asc);
        AnalyseElementsQualityHouse(s);
        EXPECT_EQ(s.HouseSign, c.expected) << c.asc;
    }
}

TEST(Counting, BodiesWithoutASignAddNothing) {
    ChartState s = StateWith(AllIn("Ari"), "Ari");
    for (int k = 0; k < 10; ++k) s.BodySign[k] = -1;  // a longitude whose text names no sign
    AnalyseElementsQualityHouse(s);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(Present(s.ElementResult[i])) << i;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Present(s.QualityResult[i])) << i;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Present(s.HouseTypeResult[i])) << i;
}

TEST(Messages, StoredTextsKeepMarkerAndLineBreak) {
    ChartState s = StateWith(AllIn("Ari"), "Ari");
    AnalyseElementsQualityHouse(s);
    EXPECT_EQ(s.ElementResult[0], "You have Fire element present in your chart.");
    EXPECT_EQ(s.ElementResult[3],
              "M-You have Water element missing in your chart.\r\n"
              "You may not be able to express your emotions very well.");
    EXPECT_EQ(s.QualityResult[0], "You have Cardinal quality present in your chart.");
    EXPECT_TRUE(
        s.QualityResult[1].starts_with("M-You have Mutable quality missing in your chart.\r\n"
                                       "You have no fixed rules regarding any issue."));
    EXPECT_TRUE(
        s.QualityResult[2].starts_with("M-You have Fixed quality missing in your chart.\r\n"
                                       "You will find it diffcicult to stick to one thing."));
    EXPECT_EQ(s.HouseTypeResult[0], "You have Angular house present in your chart.");
    EXPECT_TRUE(
        s.HouseTypeResult[2].ends_with("\r\nYou do not give thought to what has happened before. this may "
                                       "mean you end up repeating thigns that people have already "
                                       "competed when you start on a project. you fail to learn from "
                                       "your mistakes."));
}

// A run of the expected box; `text` is a literal or one of the texts below.
StyledRun R(std::string_view text, std::uint8_t r, std::uint8_t g, std::uint8_t b, bool bold) {
    return StyledRun{FixedText::Of(text), r, g, b, bold};
}

const std::string kElementIntro =
    "Absence of certain elements in your chart can affect your characteristics in many ways. If a sign "
    "belonging to that missing element happens to be on one of the cardinal points (the Ascendant, "
    "Mid-Heaven, Descendant, or Nadir), then the missing characteristics wil be compensated.\n";
const std::string kQualityIntro =
    "Absence of certain qualities in your chart can affect your characteristics in many ways. There may be "
    "absence or overdoing of that quality. But sometimes you may not even consider that quality imporatnt "
    "enough to be considered.\n";
const std::string kHouseIntro =
    "When planets are missing in a particular house type on your chart, then certain qualities may be "
    "undefined.\n";

TEST(Display, WorkedCaseRunsInOrder) {
    ChartState s = StateWith(kWorkedCase, "Leo");
    AnalyseElementsQualityHouse(s);
    const std::vector<StyledRun> expected = {
        R("Element\n", 0, 0, 128, true),
        R(kElementIntro, 0, 128, 0, false),
        R("You have Fire element present in your chart.\n", 0, 0, 0, false),
        R("You have Earth element present in your chart.\n", 0, 0, 0, false),
        R("You have Air element missing in your chart.\nYou have zero communication skills. You do believe in "
          "writing letters or speaking to people unless very much needed. You may overcome this absence by "
          "being charming and thus leading others to amke the wroing decisions. You will not waste time in "
          "unwnated talk.\n",
          0, 0, 0, true),
        R("You have Water element present in your chart.\n", 0, 0, 0, false),
        R("\n", 0, 0, 0, false),
        R("Quality\n", 0, 0, 128, true),
        R(kQualityIntro, 0, 128, 0, false),
        R("You have Cardinal quality present in your chart.\n", 0, 0, 0, false),
        R("You have Mutable quality present in your chart.\n", 0, 0, 0, false),
        R("You have Fixed quality present in your chart.\n", 0, 0, 0, false),
        R("\n", 0, 0, 0, false),
        R("House\n", 0, 0, 128, true),
        R(kHouseIntro, 0, 128, 0, false),
        R("You have Angular house present in your chart.\n", 0, 0, 0, false),
        R("You have Succedent house present in your chart.\n", 0, 0, 0, false),
        R("You have Cadent house present in your chart.\n", 0, 0, 0, false),
    };
    EXPECT_EQ(s.InterpretationRuns, expected);
}

TEST(Display, OnlyMissingCategoriesAreBoldAndNoCarriageReturnsReachTheBox) {
    ChartState s = StateWith(AllIn("Gem"), "Ari");
    AnalyseElementsQualityHouse(s);
    int bold = 0;
    for (const StyledRun& run : s.InterpretationRuns) {
        EXPECT_EQ(run.text.view().find('\r'), std::string::npos);
        EXPECT_FALSE(run.text.starts_with("M-"));
        if (run.bold && run.blue == 0) ++bold;
    }
    EXPECT_EQ(bold, 3 + 2 + 2);  // elements, qualities, house types missing
}

TEST(Sequence, SecondChartShowsNothingOfTheFirst) {
    ChartState fresh = StateWith(kWorkedCase, "Leo");
    AnalyseElementsQualityHouse(fresh);

    ChartState reused = StateWith(AllIn("Gem"), "xyz");
    AnalyseElementsQualityHouse(reused);
    reused.ElementResult[4] = "left over";
    reused.BodySign = fresh.BodySign;
    AnalyseElementsQualityHouse(reused);

    EXPECT_EQ(reused.HouseSign, fresh.HouseSign);
    EXPECT_EQ(reused.ElementResult, fresh.ElementResult);
    EXPECT_EQ(reused.QualityResult, fresh.QualityResult);
    EXPECT_EQ(reused.HouseTypeResult, fresh.HouseTypeResult);
    EXPECT_EQ(reused.InterpretationRuns, fresh.InterpretationRuns);
}

TEST(Classification, AgreesWithTheSignTableForEverySign) {
    const Element elements[] = {Element::Fire, Element::Earth, Element::Air, Element::Water};
    const Quality qualities[] = {Quality::Cardinal, Quality::Fixed, Quality::Mutable};
    const char* abbrevs[] = {"Ari", "Tau", "Gem", "Can", "Leo", "Vir", "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis"};
    for (int s = 0; s < 12; ++s) {
        EXPECT_EQ(SignOf(abbrevs[s]), s);
        EXPECT_EQ(ElementOfSign(s), elements[s % 4]) << abbrevs[s];
        EXPECT_EQ(QualityOfSign(s), qualities[s % 3]) << abbrevs[s];
    }
}

}  // namespace
}  // namespace qv
