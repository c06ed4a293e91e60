// Sine and cosine of one angle carried as a pair, so that one library call
// serves a family of angles: sums and multiples by the addition rules, small
// steps by a short series.
#pragma once

#include <cmath>

namespace qv {

// sin and cos of one angle.
struct SinCos {
    double s = 0.0;
    double c = 1.0;
};

// sin x and cos x from the math library (one sincos call). Radians.
inline SinCos SinCosOf(double x) { return {std::sin(x), std::cos(x)}; }

// The angle a + b from its parts (addition rule).
inline SinCos AngleSum(SinCos a, SinCos b) { return {a.s * b.c + a.c * b.s, a.c * b.c - a.s * b.s}; }

// The angle a − b from its parts (subtraction rule).
inline SinCos AngleDifference(SinCos a, SinCos b) { return {a.s * b.c - a.c * b.s, a.c * b.c + a.s * b.s}; }

// The angle 2a from a (double-angle rule).
inline SinCos DoubleAngle(SinCos a) { return {2.0 * a.s * a.c, (a.c - a.s) * (a.c + a.s)}; }

// sin(a + b) and sin(a − b) alone, when the cosines are not needed.
inline double SinOfSum(SinCos a, SinCos b) { return a.s * b.c + a.c * b.s; }
inline double SinOfDifference(SinCos a, SinCos b) { return a.s * b.c - a.c * b.s; }

// Taylor series of sin x and cos x about 0 in three lengths, for a double or
// a vector of doubles: to x⁵ and x⁴ for |x| ≤ 2⁻¹⁰, to x⁷ and x⁸ for
// |x| ≤ 2⁻⁵, to x¹³ and x¹⁴ for |x| ≤ 0.4. In each range the first term
// left out is below a fifth of an ulp. x2 is x². Radians.
namespace taylor {
// ±1/n! for n = 3, 5 … 13 and 2, 4 … 14.
inline constexpr double s3 = -1.0 / 6.0, s5 = 1.0 / 120.0, s7 = -1.0 / 5040.0, s9 = 1.0 / 362880.0,
                        s11 = -1.0 / 39916800.0, s13 = 1.0 / 6227020800.0;
inline constexpr double c2 = -0.5, c4 = 1.0 / 24.0, c6 = -1.0 / 720.0, c8 = 1.0 / 40320.0, c10 = -1.0 / 3628800.0,
                        c12 = 1.0 / 479001600.0, c14 = -1.0 / 87178291200.0;

template <class T>
T SinShort(T x, T x2) {
    return x + x * x2 * (s3 + x2 * s5);
}
template <class T>
T CosShort(T x2) {
    return 1.0 + x2 * (c2 + x2 * c4);
}
template <class T>
T SinMedium(T x, T x2) {
    return x + x * x2 * (s3 + x2 * (s5 + x2 * s7));
}
template <class T>
T CosMedium(T x2) {
    return 1.0 + x2 * (c2 + x2 * (c4 + x2 * (c6 + x2 * c8)));
}
template <class T>
T SinLong(T x, T x2) {
    return x + x * x2 * (s3 + x2 * (s5 + x2 * (s7 + x2 * (s9 + x2 * (s11 + x2 * s13)))));
}
template <class T>
T CosLong(T x2) {
    return 1.0 + x2 * (c2 + x2 * (c4 + x2 * (c6 + x2 * (c8 + x2 * (c10 + x2 * (c12 + x2 * c14))))));
}
}  // namespace taylor

// sin x and cos x of a small angle by the shortest Taylor series that holds
// them to within an ulp or two; the library for |x| > 0.4. Radians.
inline SinCos SinCosSmall(double x) {
    using namespace taylor;
    const double ax = std::fabs(x);
    const double x2 = x * x;
    if (ax <= 0x1p-10) return {SinShort(x, x2), CosShort(x2)};
    if (ax <= 0x1p-5) return {SinMedium(x, x2), CosMedium(x2)};
    if (!(ax <= 0.4)) return SinCosOf(x);
    return {SinLong(x, x2), CosLong(x2)};
}

// The angle base + δ for a small δ (radians), from the parts of base.
inline SinCos SinCosNear(SinCos base, double delta) { return AngleSum(base, SinCosSmall(delta)); }

}  // namespace qv
