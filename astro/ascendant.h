// Tropical ascendant of the birth moment and place.
#pragma once

#include "astro/sincos.h"
#include "state/chart_state.h"
#include "state/engine.h"

namespace qv {

// The ascendant of a chart's moment and place, degrees in [0, 360).
double AscendantOf(const EngineInput& input);

// Writes AscendantText from BodyLongitude[10].
void WriteAscendantText(ChartState& state);

// Julian centuries from 1900 January 0.5 for a civil date's JDN and UT hours.
double CenturiesSince1900(double jd0, double utHours);

// Greenwich mean sidereal time, hours (not reduced), from T and UT hours.
double GreenwichSiderealHours(double T, double utHours);

// Right ascension of the meridian, degrees, from GMST hours and longitude
// (degrees, west positive); reduced below 360 only.
double RamcDegrees(double gmstHours, double lonWest);

// Mean obliquity of the ecliptic, radians, from T.
double ObliquityRadians(double T);

// sin ε and cos ε of the mean obliquity from T, by a short series around
// its value at T = 0 (no library call).
SinCos ObliquitySinCos(double T);

// Ecliptic longitude rising at latitude lat (degrees, north positive) for
// RAMC and obliquity in radians; degrees in [0, 360).
double RisingLongitude(double ramcRadians, double epsRadians, double lat);

// The same from sin and cos of RAMC and of the obliquity. Degrees in [0, 360).
double RisingLongitudeFrom(SinCos ramc, SinCos eps, double lat);

// The ascendant in degrees for a civil date, UT hours on that date and the
// place (longitude west positive, latitude north positive). The obliquity by
// ObliquitySinCos; within kTextStepMargin of RisingLongitude, and exactly
// that within the margin of an arcsecond step, so the texts are the same.
double AscendantDegrees(int year, int month, int day, double utHours, double lonWest, double lat);

}  // namespace qv
