// Geocentric ecliptic longitudes of the Sun and Mercury to Pluto from mean
// Keplerian elements (J2000 ecliptic and equinox, two-body approximation),
// then referred to the equinox of the date by the general precession, the
// frame of the Moon and the ascendant.
#pragma once

#include <array>

#include "astro/sincos.h"

namespace qv {

// Body index of the element table.
enum PlanetIndex : int {
    kMercury = 0,
    kVenus = 1,
    kEarth = 2,
    kMars = 3,
    kJupiter = 4,
    kSaturn = 5,
    kUranus = 6,
    kNeptune = 7,
    kPluto = 8
};

// Mean orbital elements at one moment.
struct OrbitalElements {
    double a = 0;     // semi-major axis, AU
    double e = 0;     // eccentricity
    double i = 0;     // inclination, radians (not reduced)
    double node = 0;  // longitude of the ascending node, radians (not reduced)
    double peri = 0;  // longitude of perihelion, radians (not reduced)
    double L = 0;     // mean longitude, radians in [0, 2π)
};

// Elements of body 0..8 at d days since J2000; value + rate·T, rates of
// angles in arcseconds per Julian century.
OrbitalElements PlanetElements(int index, double d);

// True anomaly in [0, 2π) from mean anomaly M (radians) and eccentricity e,
// Kepler's equation by Newton's method to 1e-12.
double TrueAnomaly(double M, double e);

// sin E and cos E of the eccentric anomaly for e < 0.26: Kepler's equation
// E − e·sin E = M by three Newton steps, each a rotation of the pair instead
// of a new sine and cosine (the fast path's solution, planet_lanes.h).
// Radians in.
SinCos EccentricAnomaly(double M, double e);

// Geocentric ecliptic longitude of body 0..8 (2 gives the Sun) at d days
// since J2000, degrees in [0, 360). The formulas term by term (true anomaly
// through its tangent, every angle through the library); slow, kept as the
// arbiter of the fast GeocentricLongitudes near a text step.
double GeocentricLongitude(int index, double d);

// General precession in longitude from J2000 to d days since J2000, IAU 2006
// (Capitaine et al. 2003, A&A 412, 567; Hilton et al. 2006), its first two
// terms: p = 5028.796195″·T + 1.1054348″·T², T = d / 36525. Degrees.
double GeneralPrecession(double d);

// A longitude on the mean equinox of J2000 referred to the equinox of the
// date d days since J2000: λ + p, brought into one turn as GeocentricFrom
// brings λ. Degrees.
double LongitudeOfDate(double lonJ2000, double d);

// GeocentricLongitude on the equinox of the date, the term-by-term arbiter of
// GeocentricLongitudes. Degrees in [0, 360].
double GeocentricLongitudeOfDate(int index, double d);

// Heliocentric ecliptic x, y. AU.
struct EclipticXY {
    double x = 0, y = 0;
};

// The Earth's heliocentric x, y in its orbital plane (inclination and node
// unused) at d days since J2000. AU.
EclipticXY EarthHeliocentric(double d);

// Body 0..8 heliocentric x, y at d; the Earth's own index gives (0, 0), the
// Sun's place. AU.
EclipticXY PlanetHeliocentric(int index, double d);

// Longitude of the planet seen from the Earth, degrees in [0, 360).
double GeocentricFrom(EclipticXY planet, EclipticXY earth);

// All nine longitudes of the date at one moment, the Earth solved once;
// within kTextStepMargin of nine GeocentricLongitudeOfDate calls, and exactly
// theirs for a value within that margin of an arcsecond step, so the texts are
// the same.
// Two library calls per body (one sincos, one atan), four bodies per call on
// the vector path (planet_lanes.h, vector_math.h); the formulas term by term
// beyond 150 years from J2000. Degrees.
std::array<double, 9> GeocentricLongitudes(double d);

}  // namespace qv
