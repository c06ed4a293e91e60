// The program's fast engine against the literal one: identical texts on
// random charts, and exactly the literal value where a longitude sits on an
// arcsecond step.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "astro/ascendant.h"
#include "astro/calendar.h"
#include "astro/moon.h"
#include "astro/planets.h"
#include "astro/text_steps.h"
#include "astro/vector_math.h"
#include "tests/oracle/chart_comparison.h"
#include "tests/oracle/literal_engine.h"
#include "tests/support/case_count.h"

namespace qv {
namespace {

// Every test runs on the vector path (where the CPU has it) and the scalar one.
class FastEngine : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        SetVectorMath(GetParam());
        if (GetParam() && !VectorMathActive()) GTEST_SKIP() << "this CPU has no AVX2 with FMA";
    }
    void TearDown() override { SetVectorMath(true); }
};

INSTANTIATE_TEST_SUITE_P(Paths, FastEngine, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "vector" : "scalar"; });

// Every text, list, wheel entry and the text export as the literal road
// writes them; the JSON line as the JSON library writes it.
TEST_P(FastEngine, SameChartsAsTheLiteralRoadOnRandomCharts) {
    oracle::ProgramCharts program;
    oracle::Tally tally;
    for (std::uint64_t index = 0; index < RandomCaseCount(100000); ++index)
        oracle::Compare(oracle::RandomBirth(15, index), program, tally);
    EXPECT_EQ(tally.mismatchedCharts, 0u) << tally.firstMismatch;
    EXPECT_EQ(tally.mismatchedLines, 0u) << tally.firstMismatch;
    EXPECT_LT(tally.LargestDifference(), kTextStepMargin);
}

// Whole arcseconds of a longitude, the unit its text truncates to.
long Arcseconds(double lon) { return static_cast<long>(std::floor(lon * 3600.0)); }

// Narrows [lo, hi], whose literal values lie in different arcseconds, until
// the two ends are neighbouring doubles: one of them is then within a hair
// of the step. Returns both ends.
std::array<double, 2> StepBetween(const std::function<double(double)>& literal, double lo, double hi) {
    const long atLo = Arcseconds(literal(lo));
    for (int k = 0; k < 200; ++k) {
        const double mid = lo + (hi - lo) / 2;
        if (mid == lo || mid == hi) break;
        (Arcseconds(literal(mid)) == atLo ? lo : hi) = mid;
    }
    return {lo, hi};
}

// Program and literal agree bit for bit on both sides of a step found in
// [lo, hi], and that close to the step the fast value is not used at all.
void ExpectExactAtStep(const std::function<double(double)>& program, const std::function<double(double)>& literal,
                       double lo, double hi, const std::string& what) {
    ASSERT_NE(Arcseconds(literal(lo)), Arcseconds(literal(hi))) << what << ": no step in the bracket";
    for (double x : StepBetween(literal, lo, hi)) {
        EXPECT_LT(ArcsecondStepDistance(literal(x)), 1e-10) << what;
        EXPECT_EQ(program(x), literal(x)) << what << " at " << x;
        EXPECT_EQ(FormatLongitude(program(x)), FormatLongitude(literal(x))) << what;
    }
}

TEST_P(FastEngine, PlanetsOnAnArcsecondStepAreTheLiteralValues) {
    // Each body over one day at three dates: far past, J2000, near the end.
    for (double d0 : {-36000.25, 0.0, 18200.5})
        for (int index = 0; index < 9; ++index) {
            auto program = [index](double d) { return GeocentricLongitudes(d)[static_cast<std::size_t>(index)]; };
            auto literal = [index](double d) { return oracle::GeocentricLongitudeOfDate(index, d); };
            ExpectExactAtStep(program, literal, d0, d0 + 1.0, "body " + std::to_string(index));
        }
}

TEST_P(FastEngine, MoonOnAnArcsecondStepIsTheLiteralValue) {
    // The four-sine sum lands on the literal bits in 98 % of cases even near
    // T = 0, where L′ is small and they differ most often: hence many steps.
    for (int k = 0; k < 200; ++k) {
        const double T = -4e-4 + k * 4e-6;
        ExpectExactAtStep(MoonLongitude, oracle::MoonLongitude, T, T + 1e-7, "T " + std::to_string(T));
    }
}

TEST_P(FastEngine, AscendantOnAnArcsecondStepIsTheLiteralValue) {
    struct Place {
        int year, month, day;
        double lonWest, lat;
    };
    const Place places[] = {
        {1901, 1, 1, 0.0, 51.5},      {1975, 6, 15, -77.2167, 28.6167}, {2050, 12, 31, 179.9, -89.9},
        {2000, 2, 29, -180.0, 66.5},  {1966, 7, 3, 120.5, 0.0},         {1930, 3, 21, 45.25, -33.9},
        {2020, 9, 23, -151.2, -45.0}, {1988, 11, 5, 98.6, 78.2},
    };
    for (const Place& p : places)
        for (double hour : {0.0, 7.0, 13.0, 20.0}) {
            auto program = [&p](double ut) { return AscendantDegrees(p.year, p.month, p.day, ut, p.lonWest, p.lat); };
            auto literal = [&p](double ut) {
                return oracle::AscendantDegrees(p.year, p.month, p.day, ut, p.lonWest, p.lat);
            };
            ExpectExactAtStep(program, literal, hour, hour + 1.0,
                              std::to_string(p.year) + " at " + std::to_string(hour) + " h");
        }
}

// The precession step against the general precession in longitude p_A of the
// IAU 2006 theory (IERS Conventions 2010, eq. 5.39, all five terms): the two
// terms the engine takes lie within 0.0002″ of it over two centuries.
TEST(Precession, GeneralPrecessionAgainstPublishedValues) {
    struct Case {
        double T;           // Julian centuries from J2000
        double arcseconds;  // p_A
    };
    const Case cases[] = {
        {-1.0, -5027.6908637}, {-0.5, -2514.1217502}, {0.0, 0.0}, {0.5, 2514.6744647}, {1.0, 5029.9016855},
    };
    for (const Case& c : cases) {
        const double d = c.T * 36525.0;
        EXPECT_NEAR(oracle::GeneralPrecession(d) * 3600.0, c.arcseconds, 2e-4) << c.T;
        EXPECT_EQ(GeneralPrecession(d), oracle::GeneralPrecession(d)) << c.T;
    }
    // About 50.29″ a year near J2000: one day moves the equinox 0.1377″.
    EXPECT_NEAR(GeneralPrecession(1.0) * 3600.0, 0.137681, 1e-6);
}

// Every body of the date is the J2000 longitude plus that precession, brought
// into one turn: across the dates and across 0° Aries, on both paths.
TEST_P(FastEngine, PlanetsOfTheDateAreJ2000PlusPrecession) {
    for (double d : {-36524.5, -25000.25, -0.5, 0.0, 9131.75, 18627.49, 60000.0})
        for (int index = 0; index < 9; ++index) {
            double expected = oracle::GeocentricLongitude(index, d) + oracle::GeneralPrecession(d);
            if (expected >= 360.0) expected -= 360.0;
            if (expected < 0.0) expected += 360.0;
            EXPECT_NEAR(GeocentricLongitudes(d)[static_cast<std::size_t>(index)], expected, 1e-9)
                << index << " at " << d;
            EXPECT_EQ(oracle::GeocentricLongitudeOfDate(index, d), oracle::GeocentricLongitudes(d)[index]);
        }
}

}  // namespace
}  // namespace qv
