// The engine's vector path: four bodies, or four angles, per instruction with
// AVX2, chosen at run time on CPUs that have AVX2 and FMA. Its values stay
// within kTextStepMargin of the scalar path's, and the same step check hands
// values near an arcsecond step to the term-by-term formulas, so both paths
// write the same texts.
#pragma once

#include "astro/planet_lanes.h"
#include "astro/sincos.h"

namespace qv {

// Whether the vector path runs: the CPU has AVX2 and FMA, and it is not
// turned off.
bool VectorMathActive();

// Turns the vector path off (false) or on again where the CPU allows it; for
// comparing the two paths.
void SetVectorMath(bool wanted);

namespace avx2 {

// PlanetKernel::Geocentric four lanes at a time. Only where VectorMathActive().
void GeocentricLanes(const PlanetLanes& lanes, double d, double out[PlanetLanes::kCount]);

// sin and cos of four angles. Radians. Only where VectorMathActive().
void SinCos4(const double x[4], SinCos out[4]);

}  // namespace avx2
}  // namespace qv
