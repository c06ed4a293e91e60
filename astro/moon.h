// The Moon's longitude from its 25-term series, and the Moon's sign.
#pragma once

#include "state/chart_state.h"

namespace qv {

// Writes MoonText and MoonSignName (and BodyLongitude[1]).
void ComputeMoonPosition(ChartState& state);

// Julian centuries from J2000.0 for a civil date's JDN and UT hours on it.
double CenturiesSinceJ2000(double jdn, double utHours);

// Geocentric ecliptic longitude of the Moon at T, degrees in [0, 360].
double MoonLongitude(double T);

}  // namespace qv
