// The fast engine's helpers against the library on many random inputs: the
// sine-cosine pairs, Kepler's equation, the reduction by whole turns.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include "astro/angle_reduction.h"
#include "astro/planets.h"
#include "astro/sincos.h"
#include "tests/support/case_count.h"

namespace qv {
namespace {

constexpr int kDraws = static_cast<int>(qv::RandomCaseCount(100000));

TEST(SinCosSmall, AgreesWithTheLibrary) {
    // The three series lengths, up to the limit 0.4, and the library beyond.
    struct Range {
        double from, to, tolerance;
    };
    const Range ranges[] = {
        {0.0, 0x1p-10, 1.2e-16}, {0x1p-10, 0x1p-5, 1.2e-16}, {0x1p-5, 0.4, 2.3e-16}, {0.4000001, 0.6, 0.0}};
    std::mt19937_64 rng(11);
    for (const Range& r : ranges) {
        std::uniform_real_distribution<double> x(r.from, r.to);
        double worst = 0;
        for (int k = 0; k < kDraws; ++k) {
            const double a = (k % 2 ? -1 : 1) * x(rng);
            const SinCos got = SinCosSmall(a);
            worst = std::max({worst, std::fabs(got.s - std::sin(a)), std::fabs(got.c - std::cos(a))});
        }
        EXPECT_LE(worst, r.tolerance) << "|x| up to " << r.to;
    }
}

TEST(AngleRules, AgreeWithTheLibrary) {
    std::mt19937_64 rng(12);
    std::uniform_real_distribution<double> angle(-7.0, 7.0);
    double worst = 0;
    for (int k = 0; k < kDraws; ++k) {
        const double a = angle(rng), b = angle(rng);
        const SinCos A = SinCosOf(a), B = SinCosOf(b);
        const SinCos sum = AngleSum(A, B), difference = AngleDifference(A, B), twice = DoubleAngle(A);
        worst = std::max({worst, std::fabs(sum.s - std::sin(a + b)), std::fabs(sum.c - std::cos(a + b)),
                          std::fabs(difference.s - std::sin(a - b)), std::fabs(difference.c - std::cos(a - b)),
                          std::fabs(twice.s - std::sin(2 * a)), std::fabs(twice.c - std::cos(2 * a)),
                          std::fabs(SinOfSum(A, B) - sum.s), std::fabs(SinOfDifference(A, B) - difference.s)});
    }
    // Rounding a + b and 2a (up to 14, an ulp of 1.8e-15) is part of this.
    // Either solution of E near 2π carries its ulp, 9e-16.
    EXPECT_LE(worst, 4e-15);
}

TEST(EccentricAnomaly, AgreesWithNewtonOnTheLibrary) {
    std::mt19937_64 rng(13);
    std::uniform_real_distribution<double> mean(0.0, 6.283185307179586), ecc(0.0, 0.26);
    double worst = 0;
    for (int k = 0; k < kDraws; ++k) {
        const double M = mean(rng), e = ecc(rng);
        double E = M;
        for (int step = 0; step < 50; ++step) E = E - (E - e * std::sin(E) - M) / (1.0 - e * std::cos(E));
        const SinCos got = EccentricAnomaly(M, e);
        worst = std::max({worst, std::fabs(got.s - std::sin(E)), std::fabs(got.c - std::cos(E))});
    }
    // Either solution of E near 2π carries its ulp, 9e-16.
    EXPECT_LE(worst, 4e-15);
}

TEST(Remainder360, SameBitsAsFmod) {
    std::mt19937_64 rng(14);
    // Whole ranges, and the neighbours of whole turns where x/360 rounds across.
    std::uniform_real_distribution<double> wide(-6e5, 6e5), turns(-1700, 1700);
    for (int k = 0; k < kDraws; ++k) {
        const double turn = std::round(turns(rng)) * 360.0;
        for (double x : {wide(rng), std::nextafter(turn, 1e9), std::nextafter(turn, -1e9), turn, 1e-300 * wide(rng)})
            ASSERT_EQ(std::bit_cast<std::uint64_t>(Remainder360(x)), std::bit_cast<std::uint64_t>(std::fmod(x, 360.0)))
                << x;
    }
    EXPECT_TRUE(std::isnan(Remainder360(std::nan(""))));
    EXPECT_EQ(Remainder360(1e20), std::fmod(1e20, 360.0));
}

}  // namespace
}  // namespace qv
