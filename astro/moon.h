// The Moon's longitude from its 25-term series, and the Moon's sign.
#pragma once

#include "state/chart_state.h"
#include "state/engine.h"

namespace qv {

// The Moon at a chart's Universal Time, degrees in [0, 360].
double MoonOf(const EngineInput& input);

// Writes MoonText from BodyLongitude[1], and MoonSignName, the name of its
// sign; a longitude whose text names no sign (360) keeps MoonSignName.
void WriteMoonTexts(ChartState& state);

// Julian centuries from J2000.0 for a civil date's JDN and UT hours on it.
double CenturiesSinceJ2000(double jdn, double utHours);

// Geocentric ecliptic longitude of the Moon at T, degrees in [0, 360]: the
// periodic sum from one sincos of each of D, M, M′ and F, every other
// argument by the addition rules; within kTextStepMargin of
// MoonLongitudeTermByTerm, and exactly that within the margin of an
// arcsecond step, so the texts are the same.
double MoonLongitude(double T);

// The same longitude term by term, one sine per term as the series is
// written; slow, kept as the arbiter near a text step. Degrees in [0, 360].
double MoonLongitudeTermByTerm(double T);

}  // namespace qv
