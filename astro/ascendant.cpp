#include "astro/ascendant.h"

#include <algorithm>
#include <cmath>

#include "astro/angle_reduction.h"
#include "astro/calendar.h"
#include "astro/text_steps.h"
#include "astro/universal_time.h"

namespace qv {

// T from JD 2415020.0 (1900 January 0.5); UT may leave the civil day. Centuries.
double CenturiesSince1900(double jd0, double utHours) { return (jd0 - 2415020.0 + utHours / 24.0 - 0.5) / 36525.0; }

// GMST = 6.6460656 + 2400.0513·T + 0.0000258·T² + UT (T carries the day). Hours.
double GreenwichSiderealHours(double T, double utHours) {
    return 6.6460656 + 2400.0513 * T + 0.0000258 * T * T + utHours;
}

// RAMC = 15·GMST − λ(west+), brought below 360 (no upward correction). Degrees.
double RamcDegrees(double gmstHours, double lonWest) {
    double ramc = 15.0 * gmstHours - lonWest;
    // Exactly what subtracting 360 until below 360 gives: each step is exact.
    if (ramc >= 360.0) ramc = Remainder360(ramc);
    return ramc;
}

// ε = 23.452294° − 0.0130125°·T. Radians.
double ObliquityRadians(double T) { return kDegToRad * (23.452294 - 0.0130125 * T); }

// ε = ε₀ + δ with sin ε₀, cos ε₀ of 23.452294° computed once. Radians.
SinCos ObliquitySinCos(double T) {
    static const double eps0 = ObliquityRadians(0.0);
    static const SinCos base = SinCosOf(eps0);
    return SinCosNear(base, ObliquityRadians(T) - eps0);
}

double AscendantAtPole(double cosRamc, bool north) {
    const double point = north ? 180.0 : 360.0;
    const bool fromBelow = north ? cosRamc > 0 : cosRamc < 0;
    if (fromBelow) return std::nextafter(point, 0.0);
    return north ? point : 0.0;
}

// Ascendant from RAMC, ε and latitude, half-circle chosen by cos RAMC. Degrees.
double RisingLongitudeFrom(SinCos ramc, SinCos eps, double lat) {
    if (lat >= 90.0 || lat <= -90.0) return AscendantAtPole(ramc.c, lat > 0);
    const double y = ramc.c;
    const double x = -ramc.s * eps.c - eps.s * std::tan(lat * kDegToRad);
    double A = ArcTan2(y, x);
    if (A < 0) A = A + kPi;
    if (ramc.c < 0) A = A + kPi;
    double asc = A * kRadToDeg;
    while (asc >= 360.0) asc = asc - 360.0;
    return asc;
}

// Every sine and cosine from the library. Degrees.
double RisingLongitude(double ramcRadians, double epsRadians, double lat) {
    return RisingLongitudeFrom(SinCosOf(ramcRadians), SinCosOf(epsRadians), lat);
}

// Ascendant for a civil date and UT hours on it. Degrees.
double AscendantDegrees(int year, int month, int day, double utHours, double lonWest, double lat) {
    const double jd0 = JulianDayNumber(month, day, year);
    const double T = CenturiesSince1900(jd0, utHours);
    const double ramc = RamcDegrees(GreenwichSiderealHours(T, utHours), lonWest) * kDegToRad;
    const SinCos sinCosRamc = SinCosOf(ramc);
    const double asc = RisingLongitudeFrom(sinCosRamc, ObliquitySinCos(T), lat);
    if (!NearArcsecondStep(asc)) return asc;
    return RisingLongitudeFrom(sinCosRamc, SinCosOf(ObliquityRadians(T)), lat);
}

// The ascendant of the chart's place at its Universal Time. Degrees.
double AscendantOf(const EngineInput& input) {
    const LocalDateTime& l = input.local;
    return NormalizeDegrees(
        AscendantDegrees(l.year, l.month, l.day, UniversalTimeHours(input), -input.longitudeEast, input.latitudeNorth));
}

double EclipticAltitudeOf(const EngineInput& input, double longitude) {
    const LocalDateTime& l = input.local;
    const double ut = UniversalTimeHours(input);
    const double T = CenturiesSince1900(JulianDayNumber(l.month, l.day, l.year), ut);
    const double ramc = RamcDegrees(GreenwichSiderealHours(T, ut), -input.longitudeEast) * kDegToRad;
    const double eps = ObliquityRadians(T);
    const double lambda = longitude * kDegToRad;
    const double phi = input.latitudeNorth * kDegToRad;
    // The point's equatorial place, then its hour angle east of the meridian.
    const double sinDecl = std::sin(eps) * std::sin(lambda);
    const double cosDecl = std::sqrt(std::max(0.0, 1.0 - sinDecl * sinDecl));
    const double ra = std::atan2(std::cos(eps) * std::sin(lambda), std::cos(lambda));
    const double sinAlt = std::sin(phi) * sinDecl + std::cos(phi) * cosDecl * std::cos(ramc - ra);
    return std::asin(std::clamp(sinAlt, -1.0, 1.0)) * kRadToDeg;
}

void WriteAscendantText(ChartState& state) {
    WriteLongitudeText(state.BodyLongitude[kAscendantSlot], state.AscendantText);
}

}  // namespace qv
