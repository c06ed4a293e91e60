#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>

#include "astro/calendar.h"

namespace qv {
namespace {

struct JdnCase {
    int month, day, year;
    double expected;
};

TEST(JulianDayNumber, CivilDatesAndCalendarSwitch) {
    const JdnCase cases[] = {
        {1, 1, 2000, 2451545},    // J2000 noon
        {10, 15, 1582, 2299171},  // not shifted: the test is strictly greater
        {10, 16, 1582, 2299162},  // first shifted day
        {1, 1, 1901, 2415386},   {12, 31, 2050, 2470172}, {2, 29, 2000, 2451604}, {3, 1, 1900, 2415080},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JulianDayNumber(c.month, c.day, c.year), c.expected) << c.year << '-' << c.month << '-' << c.day;
}

struct DaysCase {
    int year, month, day, hour, minute;
    double expected;
};

TEST(DaysSinceJ2000, ShortFormulaIncludingItsCenturyQuirk) {
    const DaysCase cases[] = {
        {2000, 1, 1, 12, 0, 0.0},
        {2000, 1, 1, 0, 0, -0.5},
        {2000, 1, 2, 18, 0, 1.25},
        {1900, 3, 1, 12, 0, 2415080.0 - 2451545.0},       // exact from here on
        {1900, 2, 28, 12, 0, 2415079.0 - 2451545.0 - 1},  // one day short before
        {1999, 12, 31, 23, 59, -0.5 + (23 + 59 / 60.0) / 24 - 1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DaysSinceJ2000(c.year, c.month, c.day, c.hour, c.minute), c.expected)
            << c.year << '-' << c.month << '-' << c.day;
}

TEST(AngleHelpers, OnePassNormalisationAndWrap) {
    struct Case {
        double in, expected;
    };
    for (const auto& c : {Case{-10, 350}, Case{725, 365}, Case{360, 360}, Case{0, 0}, Case{-360, 0}})
        EXPECT_DOUBLE_EQ(NormalizeDegrees(c.in), c.expected) << c.in;

    EXPECT_NEAR(WrapRadians(-0.5), kTwoPi - 0.5, 1e-15);
    EXPECT_NEAR(WrapRadians(2 * kTwoPi), 0.0, 1e-15);
    EXPECT_NEAR(WrapRadians(7.0), 7.0 - kTwoPi, 1e-14);
}

TEST(AngleHelpers, ArcTan2Quadrants) {
    struct Case {
        double y, x, expected;
    };
    const Case cases[] = {
        {0, 0, 0},       {0, -1, kPi},         {-1, 0, -kPi / 2},      {1, 0, kPi / 2},
        {1, 1, kPi / 4}, {1, -1, 3 * kPi / 4}, {-1, -1, -3 * kPi / 4}, {-1, 1, -kPi / 4},
    };
    for (const auto& c : cases) EXPECT_NEAR(ArcTan2(c.y, c.x), c.expected, 1e-14) << c.y << ',' << c.x;
}

TEST(FormatLongitude, TruncatesAndNamesTheSign) {
    struct Case {
        double lon;
        std::string expected;
    };
    const Case cases[] = {
        {105.75, "15\u00B0 45' 0\" Can"}, {-15.5, "15\u00B0 30' 0\" Ari"},
        {360.0, "0\u00B0 0' 0\" "},                                              // sign 12 has no abbreviation
        {0.0, "0\u00B0 0' 0\" Ari"},      {29.999999, "29\u00B0 59' 59\" Ari"},  // never rounded up into Taurus
        {30.0, "0\u00B0 0' 0\" Tau"},     {359.9999, "29\u00B0 59' 59\" Pis"},
        {330.0, "0\u00B0 0' 0\" Pis"},    {5.0 + 7 / 60.0 + 59.5 / 3600, "5\u00B0 7' 59\" Ari"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatLongitude(c.lon), c.expected) << c.lon;
}

TEST(FormatPosition, PadsAndDropsSeconds) {
    struct Case {
        std::string text, expected;
    };
    const Case cases[] = {
        {"5\u00B0 7' 59\" Ari", "05 Ari 07"},
        {"29\u00B0 59' 59\" Pis", "29 Pis 59"},
        {"15\u00B0 45' 0\" Can", "15 Can 45"},
        {"  0\u00B0 0' 0\" Leo  ", "00 o 00"},  // sign read from the untrimmed end
        {"0\u00B0 0' 0\" ", "00 0\" 00"},       // no sign: whatever the last three are
    };
    for (const auto& c : cases) EXPECT_EQ(FormatPosition(c.text), c.expected) << c.text;
}

TEST(FormatPosition, MalformedTextGivesItsPartsAsTheyStand) {
    const std::pair<const char*, const char*> cases[] = {{"", "0  0"},
                                                         {"x", "0x x 0"},
                                                         {"12", "12 12 0"},
                                                         {"\u00B0", "0 \u00B0 0"},
                                                         {"'\u00B0", "0' '\u00B0 0"},
                                                         {"\u00B0\u00B0\u00B0", "0 \u00B0\u00B0\u00B0 \u00B0\u00B0"}};
    for (const auto& [text, position] : cases) EXPECT_EQ(FormatPosition(text), position) << text;
}

TEST(SignLookup, AbbreviationsAndNames) {
    EXPECT_EQ(SignAbbreviation(0), "Ari");
    EXPECT_EQ(SignAbbreviation(11), "Pis");
    EXPECT_EQ(SignAbbreviation(12), "");
    EXPECT_EQ(SignAbbreviation(-1), "");
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(FormatLongitude, NonFiniteInputGivesZeroWithoutASign) {
    for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300}) {
        EXPECT_EQ(FormatLongitude(v), "0\u00B0 0' 0\" ") << v;
        EXPECT_EQ(FormatPosition(FormatLongitude(v)), "00 0\" 00") << v;
    }
}

}  // namespace
}  // namespace qv
