#include <gtest/gtest.h>

#include <cmath>

#include "astro/calendar.h"
#include "astro/planet_lanes.h"
#include "astro/planets.h"
#include "astro/text_steps.h"

namespace qv {
namespace {

TEST(GeocentricLongitude, ReferenceValuesAtJ2000) {
    struct Case {
        int index;
        double expected;
    };
    const Case cases[] = {
        {kMercury, 271.906}, {kVenus, 241.578},  {kEarth, 280.380},   {kMars, 327.983},  {kJupiter, 25.361},
        {kSaturn, 40.215},   {kUranus, 314.790}, {kNeptune, 303.192}, {kPluto, 251.454},
    };
    for (const auto& c : cases) EXPECT_NEAR(GeocentricLongitude(c.index, 0.0), c.expected, 0.0005) << c.index;
}

TEST(GeocentricLongitude, SunIsEarthHeliocentricPlus180) {
    for (double d : {-36000.0, -1234.5, 0.0, 777.25, 18000.0}) {
        const OrbitalElements G = PlanetElements(kEarth, d);
        const double v = TrueAnomaly(WrapRadians(G.L - G.peri), G.e);
        double helio = std::fmod((v + G.peri) * 180.0 / kPi, 360.0);
        if (helio < 0) helio += 360.0;
        const double diff = std::fmod(GeocentricLongitude(kEarth, d) - helio + 720.0, 360.0);
        EXPECT_NEAR(diff, 180.0, 1e-9) << d;
    }
}

TEST(GeocentricLongitude, StaysInOneTurnAcrossTheRange) {
    // 1901 to 2050, sampled every 97 days.
    for (double d = -36500; d <= 18300; d += 97)
        for (int index = 0; index <= 8; ++index) {
            const double lon = GeocentricLongitude(index, d);
            EXPECT_GE(lon, 0.0);
            EXPECT_LE(lon, 360.0);
        }
}

TEST(TrueAnomaly, SolvesKeplersEquation) {
    struct Case {
        double M, e;
    };
    const Case cases[] = {{0.0, 0.0}, {1.0, 0.0167}, {3.1, 0.2056}, {6.0, 0.2488}, {0.001, 0.2488}};
    for (const auto& c : cases) {
        const double v = TrueAnomaly(c.M, c.e);
        EXPECT_GE(v, 0.0);
        EXPECT_LT(v, kTwoPi);
        // Back from v to the eccentric and mean anomaly.
        const double E = 2 * std::atan(std::sqrt((1 - c.e) / (1 + c.e)) * std::tan(v / 2));
        double M = E - c.e * std::sin(E);
        if (M < 0) M += 2 * M_PI;
        EXPECT_NEAR(std::remainder(M - c.M, 2 * M_PI), 0.0, 1e-11) << c.M << ' ' << c.e;
    }
    EXPECT_DOUBLE_EQ(TrueAnomaly(0.7, 0.0), 0.7);
}

TEST(PlanetElements, RatesPerCentury) {
    const OrbitalElements el = PlanetElements(kMercury, 36525.0);  // T = 1
    EXPECT_DOUBLE_EQ(el.a, 0.38709893 + 0.00000066);
    EXPECT_DOUBLE_EQ(el.e, 0.20563069 + 0.00002527);
    EXPECT_NEAR(el.i, (7.00487 - 23.51 / 3600) * kDegToRad, 1e-15);
    EXPECT_GE(el.L, 0.0);
    EXPECT_LT(el.L, kTwoPi);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(GeocentricLongitudes, SameTextsAsOneBodyAtATime) {
    for (double d : {-36159.5, -8965.125, 0.0, 3652.75, 18627.49}) {
        const auto all = GeocentricLongitudes(d);
        for (int index = 0; index < 9; ++index) {
            const double one = GeocentricLongitudeOfDate(index, d);
            EXPECT_NEAR(all[static_cast<std::size_t>(index)], one, kTextStepMargin) << index << ' ' << d;
            EXPECT_EQ(FormatLongitude(all[static_cast<std::size_t>(index)]), FormatLongitude(one)) << index << ' ' << d;
        }
    }
}

// Beyond the fast range the formulas run term by term: the very values.
TEST(GeocentricLongitudes, BeyondTheFastRangeExactlyOneBodyAtATime) {
    for (double d : {-kFastDays - 0.5, kFastDays + 1.0, 100000.25}) {
        const auto all = GeocentricLongitudes(d);
        for (int index = 0; index < 9; ++index)
            EXPECT_EQ(all[static_cast<std::size_t>(index)], GeocentricLongitudeOfDate(index, d)) << index << ' ' << d;
    }
}

}  // namespace
}  // namespace qv
