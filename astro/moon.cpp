#include "astro/moon.h"

#include <cmath>

#include "astro/calendar.h"
#include "astro/universal_time.h"

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
    {6.288774, 0, 0, 1, 0, false},   {1.274027, 2, 0, -1, 0, false},
    {0.658314, 2, 0, 0, 0, false},   {0.213618, 0, 0, 2, 0, false},
    {-0.185116, 0, 1, 0, 0, true},   {-0.114332, 0, 0, 0, 2, false},
    {0.058793, 2, 0, -2, 0, false},  {0.057066, 2, -1, -1, 0, true},
    {0.053322, 2, 0, 1, 0, false},   {0.045758, 2, -1, 0, 0, true},
    {-0.040923, 0, 1, -1, 0, true},  {-0.03472, 1, 0, 0, 0, false},
    {-0.030383, 0, 1, 1, 0, true},   {0.015327, 2, 0, 0, -2, false},
    {-0.012528, 0, 0, 1, 2, false},  {0.01098, 0, 0, 1, -2, false},
    {0.010675, 4, 0, -1, 0, false},  {0.010034, 0, 0, 3, 0, false},
    {0.008548, 4, 0, -2, 0, false},  {-0.007888, 2, 1, -1, 0, true},
    {-0.006766, 2, 1, 0, 0, true},   {-0.005163, 1, 0, -1, 0, false},
    {0.004987, 1, 1, 0, 0, true},    {0.004036, 2, -1, 1, 0, true},
    {0.003994, 2, 0, 2, 0, false},
};

}  // namespace

// T from JD 2451545.0 (J2000.0) for a JDN and UT hours. Centuries.
double CenturiesSinceJ2000(double jdn, double utHours) {
    return (jdn - 2451545.0 + utHours / 24.0 - 0.5) / 36525.0;
}

// L = L′ + Σ periodic terms, brought into [0, 360] (360 itself kept). Degrees.
double MoonLongitude(double T) {
    const double Lp = 218.3164591 + 481267.88134236 * T;
    const double D = (297.8502042 + 445267.1115168 * T) * kDegToRad;
    const double M = (357.5291092 + 35999.0502909 * T) * kDegToRad;
    const double Mp = (134.9634114 + 477198.8676313 * T) * kDegToRad;
    const double F = (93.2720993 + 483202.0175273 * T) * kDegToRad;
    const double E = 1.0 - 0.002516 * T - 0.0000074 * T * T;

    double sum = 0.0;
    for (const MoonTerm& t : kTerms) {
        double arg = 0.0;
        if (t.d) arg += t.d * D;
        if (t.m) arg += t.m * M;
        if (t.mp) arg += t.mp * Mp;
        if (t.f) arg += t.f * F;
        double term = t.coefficient * std::sin(arg);
        if (t.eFactor) term = term * E;
        sum += term;
    }

    double L = Lp + sum;
    // The same as adding or subtracting 360 one turn at a time: every such
    // step is exact, and a value landing on 360 stays 360.
    if (L < 0) {
        L = std::fmod(L, 360.0);
        if (L < 0) L = L + 360.0;
        L = L + 0.0;  // no negative zero
    } else if (L > 360.0) {
        L = std::fmod(L, 360.0);
        if (L == 0.0) L = 360.0;
    }
    return L;
}

void ComputeMoonPosition(ChartState& state) {
    const double N = JulianDayNumber(state.BirthMonth, state.BirthDay, state.BirthYear);
    const double L = MoonLongitude(CenturiesSinceJ2000(N, UniversalTimeHours(state)));
    std::string text = FormatLongitude(L);
    const std::string_view name = SignNameFromAbbreviation(TrimBlanks(LastCharacters(text, 3)));
    state.MoonText = std::move(text);
    if (!name.empty()) state.MoonSignName = name;
    state.BodyLongitude[1] = L;
}

}  // namespace qv
