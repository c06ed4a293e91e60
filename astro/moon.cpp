#include "astro/moon.h"

#include <cmath>

#include "astro/angle_reduction.h"
#include "astro/calendar.h"
#include "astro/sincos.h"
#include "astro/text_steps.h"
#include "astro/universal_time.h"
#include "astro/vector_math.h"

namespace qv {

namespace {

// One periodic term: coefficient (degrees) × sin(d·D + m·M + mp·M′ + f·F),
// times E when eFactor.
struct MoonTerm {
    double coefficient;
    int d, m, mp, f;
    bool eFactor;
};

// The 25 largest terms of the lunar longitude series (Meeus, Astronomical
// Algorithms, table 47.A).
constexpr MoonTerm kTerms[25] = {
    {6.288774, 0, 0, 1, 0, false},   {1.274027, 2, 0, -1, 0, false}, {0.658314, 2, 0, 0, 0, false},
    {0.213618, 0, 0, 2, 0, false},   {-0.185116, 0, 1, 0, 0, true},  {-0.114332, 0, 0, 0, 2, false},
    {0.058793, 2, 0, -2, 0, false},  {0.057066, 2, -1, -1, 0, true}, {0.053322, 2, 0, 1, 0, false},
    {0.045758, 2, -1, 0, 0, true},   {-0.040923, 0, 1, -1, 0, true}, {-0.03472, 1, 0, 0, 0, false},
    {-0.030383, 0, 1, 1, 0, true},   {0.015327, 2, 0, 0, -2, false}, {-0.012528, 0, 0, 1, 2, false},
    {0.01098, 0, 0, 1, -2, false},   {0.010675, 4, 0, -1, 0, false}, {0.010034, 0, 0, 3, 0, false},
    {0.008548, 4, 0, -2, 0, false},  {-0.007888, 2, 1, -1, 0, true}, {-0.006766, 2, 1, 0, 0, true},
    {-0.005163, 1, 0, -1, 0, false}, {0.004987, 1, 1, 0, 0, true},   {0.004036, 2, -1, 1, 0, true},
    {0.003994, 2, 0, 2, 0, false},
};

// The Moon's fundamental arguments at T: L′ in degrees, not reduced; D, M, M′
// and F in radians, not reduced; E the eccentricity factor.
struct MoonArguments {
    double Lp, D, M, Mp, F, E;
};

MoonArguments MoonArgumentsAt(double T) {
    return {218.3164591 + 481267.88134236 * T,
            (297.8502042 + 445267.1115168 * T) * kDegToRad,
            (357.5291092 + 35999.0502909 * T) * kDegToRad,
            (134.9634114 + 477198.8676313 * T) * kDegToRad,
            (93.2720993 + 483202.0175273 * T) * kDegToRad,
            1.0 - 0.002516 * T - 0.0000074 * T * T};
}

// L′ + Σ brought into [0, 360], 360 itself kept. Degrees.
double MoonTurn(double L) {
    // The same as adding or subtracting 360 one turn at a time: every such
    // step is exact, and a value landing on 360 stays 360.
    if (L < 0) {
        L = Remainder360(L);
        if (L < 0) L = L + 360.0;
        L = L + 0.0;  // no negative zero
    } else if (L > 360.0) {
        L = Remainder360(L);
        if (L == 0.0) L = 360.0;
    }
    return L;
}

// Σ of the 25 terms from sin and cos of D, M, M′ and F; the rows of table
// 47.A in order. Degrees.
double PeriodicSum(const MoonArguments& a) {
    SinCos four[4];
    if (VectorMathActive()) {
        const double x[4] = {a.D, a.M, a.Mp, a.F};
        avx2::SinCos4(x, four);
    } else {
        four[0] = SinCosOf(a.D), four[1] = SinCosOf(a.M), four[2] = SinCosOf(a.Mp), four[3] = SinCosOf(a.F);
    }
    const SinCos d1 = four[0], m1 = four[1], p1 = four[2], f1 = four[3];
    const SinCos d2 = DoubleAngle(d1), d4 = DoubleAngle(d2);
    const SinCos p2 = DoubleAngle(p1), p3 = AngleSum(p2, p1);
    const SinCos f2 = DoubleAngle(f1);
    const SinCos d2mp = AngleDifference(d2, p1);  // 2D − M′
    const SinCos d2pp = AngleSum(d2, p1);         // 2D + M′
    const double E = a.E;
    double sum = 0.0;
    sum += 6.288774 * p1.s;
    sum += 1.274027 * d2mp.s;
    sum += 0.658314 * d2.s;
    sum += 0.213618 * p2.s;
    sum += -0.185116 * m1.s * E;
    sum += -0.114332 * f2.s;
    sum += 0.058793 * SinOfDifference(d2, p2);
    sum += 0.057066 * SinOfDifference(d2mp, m1) * E;
    sum += 0.053322 * d2pp.s;
    sum += 0.045758 * SinOfDifference(d2, m1) * E;
    sum += -0.040923 * SinOfDifference(m1, p1) * E;
    sum += -0.03472 * d1.s;
    sum += -0.030383 * SinOfSum(m1, p1) * E;
    sum += 0.015327 * SinOfDifference(d2, f2);
    sum += -0.012528 * SinOfSum(p1, f2);
    sum += 0.01098 * SinOfDifference(p1, f2);
    sum += 0.010675 * SinOfDifference(d4, p1);
    sum += 0.010034 * p3.s;
    sum += 0.008548 * SinOfDifference(d4, p2);
    sum += -0.007888 * SinOfSum(d2mp, m1) * E;
    sum += -0.006766 * SinOfSum(d2, m1) * E;
    sum += -0.005163 * SinOfDifference(d1, p1);
    sum += 0.004987 * SinOfSum(d1, m1) * E;
    sum += 0.004036 * SinOfDifference(d2pp, m1) * E;
    sum += 0.003994 * SinOfSum(d2, p2);
    return sum;
}

}  // namespace

// T from JD 2451545.0 (J2000.0) for a JDN and UT hours. Centuries.
double CenturiesSinceJ2000(double jdn, double utHours) { return (jdn - 2451545.0 + utHours / 24.0 - 0.5) / 36525.0; }

// L = L′ + Σ periodic terms, one sine per term, brought into [0, 360]. Degrees.
double MoonLongitudeTermByTerm(double T) {
    const MoonArguments a = MoonArgumentsAt(T);
    double sum = 0.0;
    for (const MoonTerm& t : kTerms) {
        double arg = 0.0;
        if (t.d) arg += t.d * a.D;
        if (t.m) arg += t.m * a.M;
        if (t.mp) arg += t.mp * a.Mp;
        if (t.f) arg += t.f * a.F;
        double term = t.coefficient * std::sin(arg);
        if (t.eFactor) term = term * a.E;
        sum += term;
    }
    return MoonTurn(a.Lp + sum);
}

// L = L′ + Σ with four sincos calls; term by term near an arcsecond step. Degrees.
double MoonLongitude(double T) {
    const MoonArguments a = MoonArgumentsAt(T);
    const double L = MoonTurn(a.Lp + PeriodicSum(a));
    return NearArcsecondStep(L) ? MoonLongitudeTermByTerm(T) : L;
}

// The Moon at T of the chart's civil date and Universal Time. Degrees.
double MoonOf(const EngineInput& input) {
    const double N = JulianDayNumber(input.local.month, input.local.day, input.local.year);
    return MoonLongitude(CenturiesSinceJ2000(N, UniversalTimeHours(input)));
}

void WriteMoonTexts(ChartState& state) {
    const double L = state.BodyLongitude[kMoonSlot];
    WriteLongitudeText(L, state.MoonText);
    const int sign = SignOfLongitude(L);
    if (sign >= 0) state.MoonSignName = FixedText::Of(kSignNames[static_cast<std::size_t>(sign)]);
}

}  // namespace qv
