// The ascendant, the Moon and the position list of whole charts, including
// the one Universal Time they share.
#include <gtest/gtest.h>

#include <string>

#include "astro/ascendant.h"
#include "astro/calendar.h"
#include "astro/moon.h"
#include "astro/planets.h"
#include "astro/positions.h"
#include "astro/text_steps.h"
#include "astro/universal_time.h"
#include "chart/chart_run.h"
#include "state/text.h"
#include "state/time_zones.h"
#include "tests/support/iso_minute.h"

namespace qv {
namespace {

struct Birth {
    int year, month, day, hour, minute;
    int zoneSlot;
    bool dst;
    int lonD, lonM;
    bool east;
    int latD, latM;
    bool south;
};

BirthData BirthOf(const Birth& b) {
    return {.name = "x",
            .local = {b.year, b.month, b.day, b.hour, b.minute},
            .zoneSlot = b.zoneSlot,
            .daylightSaving = b.dst,
            .latitude = {b.latD, b.latM, b.south},
            .longitude = {b.lonD, b.lonM, !b.east},
            .city = "x",
            .state = "x",
            .country = "x"};
}

EngineInput InputFor(const Birth& b) { return EngineInputOf(BirthOf(b)); }

// The whole chart of a birth, as the program calculates it.
ChartState ChartFor(const Birth& b) {
    ChartState s;
    ChartWheel wheel;
    EXPECT_EQ(CalculateChartOf(BirthOf(b), s, wheel), std::nullopt);
    return s;
}

constexpr int kGmt = 29, kCet = 20, kEst = 27, kIst = 34, kCdt = 18;

TEST(Ascendant, ReferenceCharts) {
    struct Case {
        Birth birth;
        double T, ramc, asc;
        std::string text;
    };
    const Case cases[] = {
        {{2000, 1, 1, 12, 0, kGmt, false, 0, 0, false, 51, 30, false}, 1.0, 280.4609, 24.2979, "24\u00B0 17' 52\" Ari"},
        {{1975, 6, 15, 14, 30, kIst, false, 77, 13, true, 28, 37, false},
         0.754521,
         115.2400,
         202.1610,
         "22\u00B0 9' 39\" Lib"},
    };
    for (const auto& c : cases) {
        const double ut = UniversalTimeHours(InputFor(c.birth));
        const double T = CenturiesSince1900(JulianDayNumber(c.birth.month, c.birth.day, c.birth.year), ut);
        EXPECT_NEAR(T, c.T, 5e-7);
        double lon = c.birth.lonD + c.birth.lonM / 60.0;
        if (c.birth.east) lon = -lon;
        EXPECT_NEAR(RamcDegrees(GreenwichSiderealHours(T, ut), lon), c.ramc, 5e-5);
        const ChartState s = ChartFor(c.birth);
        EXPECT_EQ(s.AscendantText, c.text);
        EXPECT_NEAR(s.BodyLongitude[10], c.asc, 5e-5);
    }
}

TEST(Ascendant, RamcOnlyReducedDownward) {
    EXPECT_DOUBLE_EQ(RamcDegrees(24.0 * 3 + 1.0, 0.0), 15.0);
    EXPECT_DOUBLE_EQ(RamcDegrees(-1.0, 0.0), -15.0);
    EXPECT_DOUBLE_EQ(RamcDegrees(24.0, 0.0), 0.0);
}

TEST(UniversalTime, OneCorrectionForEveryone) {
    struct Case {
        Birth birth;
        double utHours;
        std::string iso;
    };
    const Case cases[] = {
        // Madrid, 3°42' West, on Central European Time: UT = local − 1 h, − 2 h with DST.
        {{1980, 3, 10, 8, 0, kCet, false, 3, 42, false, 40, 25, false}, 7.0, "1980-03-10T07:00:00Z"},
        {{1980, 7, 10, 8, 0, kCet, true, 3, 42, false, 40, 25, false}, 6.0, "1980-07-10T06:00:00Z"},
        // East of Greenwich, half-hour zone, into the previous day.
        {{1975, 6, 15, 1, 0, kIst, false, 77, 13, true, 28, 37, false}, -4.5, "1975-06-14T19:30:00Z"},
        {{1975, 6, 15, 10, 0, kIst, false, 77, 13, true, 28, 37, false}, 4.5, "1975-06-15T04:30:00Z"},
        {{1975, 6, 15, 10, 0, kIst, true, 77, 13, true, 28, 37, false}, 3.5, "1975-06-15T03:30:00Z"},
        // West, across midnight, the month end and the year end.
        {{1999, 12, 31, 23, 30, kEst, false, 74, 0, false, 40, 43, false}, 28.5, "2000-01-01T04:30:00Z"},
        {{1950, 2, 28, 22, 0, kEst, true, 74, 0, false, 40, 43, false}, 26.0, "1950-03-01T02:00:00Z"},
        {{2000, 3, 1, 2, 0, kIst, false, 77, 13, true, 28, 37, false}, -3.5, "2000-02-29T20:30:00Z"},
        {{1950, 1, 1, 2, 0, kIst, false, 77, 13, true, 28, 37, false}, -3.5, "1949-12-31T20:30:00Z"},
        // A "Daylight" row with the box ticked as well: the second hour stays.
        {{1980, 7, 10, 12, 0, kCdt, true, 90, 0, false, 30, 0, false}, 16.0, "1980-07-10T16:00:00Z"},
    };
    for (const auto& c : cases) {
        const EngineInput input = InputFor(c.birth);
        EXPECT_DOUBLE_EQ(UniversalTimeHours(input), c.utHours) << c.iso;
        EXPECT_EQ(FormatIsoMinute(UniversalMoment(input)), c.iso);
    }
}

TEST(UniversalTime, AscendantAndMoonUseTheSignedZone) {
    struct Case {
        const char* what;
        Birth birth;
        double utHours;  // the moment the ascendant must be computed for
    };
    const Case cases[] = {
        {"Madrid CET", {1980, 3, 10, 8, 0, kCet, false, 3, 42, false, 40, 25, false}, 7.0},
        {"Madrid CET with DST", {1980, 7, 10, 8, 0, kCet, true, 3, 42, false, 40, 25, false}, 6.0},
        {"0 deg 0 East, CET", {1990, 5, 5, 18, 45, kCet, false, 0, 0, true, 51, 28, false}, 17.75},
        {"0 deg 0 East, IST with DST", {1990, 5, 5, 3, 0, kIst, true, 0, 0, true, 10, 0, true}, -3.5},
    };
    for (const auto& c : cases) {
        const ChartState s = ChartFor(c.birth);
        double lon = c.birth.lonD + c.birth.lonM / 60.0;
        if (c.birth.east) lon = -lon;
        double lat = c.birth.latD + c.birth.latM / 60.0;
        if (c.birth.south) lat = -lat;
        const double asc =
            NormalizeDegrees(AscendantDegrees(c.birth.year, c.birth.month, c.birth.day, c.utHours, lon, lat));
        EXPECT_EQ(s.AscendantText, FormatLongitude(asc)) << c.what;
        const double moon =
            MoonLongitude(CenturiesSinceJ2000(JulianDayNumber(c.birth.month, c.birth.day, c.birth.year), c.utHours));
        EXPECT_EQ(s.MoonText, FormatLongitude(moon)) << c.what;
    }
}

TEST(UniversalTime, MadridAscendantDiffersFromTheHemisphereGuess) {
    // Guessing the direction from the hemisphere would add the hour instead.
    const ChartState s = ChartFor({1980, 3, 10, 8, 0, kCet, false, 3, 42, false, 40, 25, false});
    const double guessed = NormalizeDegrees(AscendantDegrees(1980, 3, 10, 9.0, 3.7, 40 + 25 / 60.0));
    EXPECT_NE(s.AscendantText, FormatLongitude(guessed));
}

TEST(Moon, ReferenceValues) {
    struct Case {
        int year, month, day, hour, minute;
        double T, L;
        std::string text, sign;
    };
    const Case cases[] = {
        {1992, 4, 12, 0, 0, -0.0772210815, 133.15808, "13\u00B0 9' 29\" Leo", "Leo"},
        {2000, 1, 1, 12, 0, 0.0, 223.31610, "13\u00B0 18' 57\" Sco", "Scorpio"},
    };
    for (const auto& c : cases) {
        const Birth birth{c.year, c.month, c.day, c.hour, c.minute, kGmt, false, 0, 0, false, 0, 0, false};
        const double T =
            CenturiesSinceJ2000(JulianDayNumber(c.month, c.day, c.year), UniversalTimeHours(InputFor(birth)));
        EXPECT_NEAR(T, c.T, 5e-11);
        const ChartState s = ChartFor(birth);
        EXPECT_EQ(s.MoonText, c.text);
        EXPECT_EQ(s.MoonSignName, c.sign);
        EXPECT_NEAR(s.BodyLongitude[1], c.L, 5e-6);
    }
}

TEST(Moon, LongitudeStaysInOneTurnAndTurn360NamesNoSign) {
    for (double T = -1.0; T <= 0.51; T += 0.0137) {
        const double L = MoonLongitude(T);
        EXPECT_GE(L, 0.0);
        EXPECT_LE(L, 360.0);
    }
    // A sum landing on 360 gives the text of sign number 12, which names no sign.
    const std::string_view tail = TrimBlanks(LastCharacters(FormatLongitude(360.0), 3));
    for (int sign = 0; sign < 12; ++sign) EXPECT_NE(tail, SignAbbreviation(sign)) << sign;
}

TEST(Positions, SlotsNamesAndCarry) {
    struct Case {
        Birth birth;
        int y, m, d, h, mi;  // the UT the planets must use
    };
    const Case cases[] = {
        {{1999, 12, 31, 23, 30, kEst, false, 74, 0, false, 40, 43, false}, 2000, 1, 1, 4, 30},
        {{2000, 3, 1, 2, 0, kIst, false, 77, 13, true, 28, 37, false}, 2000, 2, 29, 20, 30},
        {{1980, 7, 10, 8, 0, kCet, true, 3, 42, false, 40, 25, false}, 1980, 7, 10, 6, 0},
        {{2050, 12, 31, 23, 59, kEst, false, 74, 0, false, 40, 43, false}, 2051, 1, 1, 4, 59},
    };
    for (const auto& c : cases) {
        const ChartState s = ChartFor(c.birth);
        const double d = DaysSinceJ2000(c.y, c.m, c.d, c.h, c.mi);
        const int bodies[10] = {kEarth, -1, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto};
        for (int slot = 0; slot < 10; ++slot) {
            if (slot == 1) continue;
            const double lon = GeocentricLongitudeOfDate(bodies[slot], d);
            EXPECT_EQ(s.PlanetPosition[static_cast<std::size_t>(slot)], FormatPosition(FormatLongitude(lon))) << slot;
            EXPECT_NEAR(s.BodyLongitude[static_cast<std::size_t>(slot)], lon, kTextStepMargin);
        }
        EXPECT_EQ(s.PlanetPosition[1], FormatPosition(s.MoonText));
        EXPECT_EQ(s.PlanetPosition[10], FormatPosition(s.AscendantText));
        EXPECT_EQ(s.PositionName[0], "Sun");
        EXPECT_EQ(s.PositionName[2], "Mercury");
        EXPECT_EQ(s.PositionName[10], "Asc");
        EXPECT_EQ(s.PositionName[11], "");
        EXPECT_EQ(s.PlanetPosition[11], "");
    }
}

TEST(Positions, J2000SunAndPlanetTexts) {
    const ChartState s = ChartFor({2000, 1, 1, 12, 0, kGmt, false, 0, 0, false, 51, 30, false});
    // Sun 280.380° = 10° 22' Cap; Mercury 271.906° = 1° 54' Cap; Pluto 251.454° = 11° 27' Sag.
    EXPECT_EQ(s.PlanetPosition[0], "10 Cap 22");
    EXPECT_EQ(s.PlanetPosition[1], "13 Sco 18");
    EXPECT_EQ(s.PlanetPosition[2], "01 Cap 54");
    EXPECT_EQ(s.PlanetPosition[9], "11 Sag 27");
    EXPECT_EQ(s.PlanetPosition[10], "24 Ari 17");
}

}  // namespace
}  // namespace qv
