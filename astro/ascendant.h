// Tropical ascendant of the birth moment and place.
#pragma once

#include "astro/sincos.h"
#include "state/chart_state.h"
#include "state/engine.h"

namespace qv {

// The ascendant of a chart's moment and place, degrees in [0, 360).
double AscendantOf(const EngineInput& input);

// Altitude above the horizon (degrees, −90 … 90) of the ecliptic point at
// `longitude` for the chart's moment and place, by the sidereal time and
// obliquity the ascendant takes: 0 for the ascendant itself. Unlike the
// ascendant, which turns fast with the time near the polar circles, it moves
// no more than the sidereal time does, so it tells whether another engine's
// ascendant lies on this horizon.
double EclipticAltitudeOf(const EngineInput& input, double longitude);

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

// The ascendant at a pole (latitude ±90°), where the horizon is the equator
// and no single point rises: the limit as the latitude nears the pole. There
// tan φ grows without bound and the rising point tends to 0° Libra in the
// north and 0° Aries in the south, from below (the sign before) when cos RAMC
// is positive in the north or negative in the south, else from above. From
// below it is the last double before the point, whose text is 29° 59' 59" of
// the sign before: the sign every latitude close to the pole gives. Both
// engines take it. Degrees in [0, 360).
double AscendantAtPole(double cosRamc, bool north);

// Ecliptic longitude rising at latitude lat (degrees, north positive) for
// RAMC and obliquity in radians; at ±90° AscendantAtPole. Degrees in [0, 360).
double RisingLongitude(double ramcRadians, double epsRadians, double lat);

// The same from sin and cos of RAMC and of the obliquity. Degrees in [0, 360).
double RisingLongitudeFrom(SinCos ramc, SinCos eps, double lat);

// The ascendant in degrees for a civil date, UT hours on that date and the
// place (longitude west positive, latitude north positive). The obliquity by
// ObliquitySinCos; within kTextStepMargin of RisingLongitude, and exactly
// that within the margin of an arcsecond step, so the texts are the same.
double AscendantDegrees(int year, int month, int day, double utHours, double lonWest, double lat);

}  // namespace qv
