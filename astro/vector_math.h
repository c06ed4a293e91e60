// The engine's vector path: four bodies, or four angles, per instruction with
// AVX2, chosen at run time on CPUs that have AVX2 and FMA. Its values stay
// within kTextStepMargin of the scalar path's, and the same step check hands
// values near an arcsecond step to the term-by-term formulas, so both paths
// write the same texts.
#pragma once

#include "astro/sincos.h"

namespace qv {

// Whether the vector path runs: the CPU has AVX2 and FMA, and it is not
// turned off.
bool VectorMathActive();

// Turns the vector path off (false) or on again where the CPU allows it; for
// comparing the two paths.
void SetVectorMath(bool wanted);

// The planets' vector lanes: the Earth, Mercury, Venus, Mars, Jupiter, Saturn,
// Uranus, Neptune, Pluto, and Pluto again to fill the third vector. Elements
// and rates as the element table gives them (degrees, arcseconds per century),
// the slowly turning angles as sin and cos at J2000 with rates in radians per
// century (the Earth: ω = ϖ, node and inclination 0).
struct alignas(32) PlanetLanes {
    static constexpr int kCount = 12;
    double a[kCount], aRate[kCount], e[kCount], eRate[kCount];
    double L[kCount], LRate[kCount], peri[kCount], periRate[kCount];
    double omegaS[kCount], omegaC[kCount], omegaRate[kCount];
    double nodeS[kCount], nodeC[kCount], nodeRate[kCount];
    double inclS[kCount], inclC[kCount], inclRate[kCount];
    double seen[kCount];  // 1 for a planet; 0 for the Earth, whose lane gives the Sun
};

namespace avx2 {

// Geocentric longitudes of the twelve lanes at d days since J2000, for
// |d| ≤ 55,000 (eccentricities below 0.26, three Newton steps); before the
// check against text steps. Degrees in [0, 360]. Only where VectorMathActive().
void GeocentricLanes(const PlanetLanes& lanes, double d, double out[PlanetLanes::kCount]);

// sin and cos of four angles. Radians. Only where VectorMathActive().
void SinCos4(const double x[4], SinCos out[4]);

}  // namespace avx2
}  // namespace qv
