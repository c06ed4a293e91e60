#include "astro/ascendant.h"

#include <cmath>

#include "astro/calendar.h"
#include "astro/universal_time.h"

namespace qv {

// T from JD 2415020.0 (1900 January 0.5); UT may leave the civil day. Centuries.
double CenturiesSince1900(double jd0, double utHours) {
    return (jd0 - 2415020.0 + utHours / 24.0 - 0.5) / 36525.0;
}

// GMST = 6.6460656 + 2400.0513·T + 0.0000258·T² + UT (T carries the day). Hours.
double GreenwichSiderealHours(double T, double utHours) {
    return 6.6460656 + 2400.0513 * T + 0.0000258 * T * T + utHours;
}

// RAMC = 15·GMST − λ(west+), brought below 360 (no upward correction). Degrees.
double RamcDegrees(double gmstHours, double lonWest) {
    double ramc = 15.0 * gmstHours - lonWest;
    // Exactly what subtracting 360 until below 360 gives: each step is exact.
    if (ramc >= 360.0) ramc = std::fmod(ramc, 360.0);
    return ramc;
}

// ε = 23.452294° − 0.0130125°·T. Radians.
double ObliquityRadians(double T) {
    return kDegToRad * (23.452294 - 0.0130125 * T);
}

// Ascendant from RAMC, ε and latitude, half-circle chosen by cos RAMC. Degrees.
double RisingLongitude(double ramcRadians, double epsRadians, double lat) {
    const double y = std::cos(ramcRadians);
    const double x = -std::sin(ramcRadians) * std::cos(epsRadians) -
                     std::sin(epsRadians) * std::tan(lat * kDegToRad);
    double A = ArcTan2(y, x);
    if (A < 0) A = A + kPi;
    if (std::cos(ramcRadians) < 0) A = A + kPi;
    double asc = A * kRadToDeg;
    while (asc >= 360.0) asc = asc - 360.0;
    return asc;
}

// Ascendant for a civil date and UT hours on it. Degrees.
double AscendantDegrees(int year, int month, int day, double utHours, double lonWest, double lat) {
    const double jd0 = JulianDayNumber(month, day, year);
    const double T = CenturiesSince1900(jd0, utHours);
    const double ramc = RamcDegrees(GreenwichSiderealHours(T, utHours), lonWest) * kDegToRad;
    return RisingLongitude(ramc, ObliquityRadians(T), lat);
}

void CalculateAscendant(ChartState& state) {
    double lon = state.LonDegrees + state.LonMinutes / 60.0;
    if (state.LonEast) lon = -lon;
    double lat = state.LatDegrees + state.LatMinutes / 60.0;
    if (state.LatSouth) lat = -lat;
    const double asc = NormalizeDegrees(AscendantDegrees(state.BirthYear, state.BirthMonth, state.BirthDay,
                                                         UniversalTimeHours(state), lon, lat));
    state.AscendantText = FormatLongitude(asc);
    state.BodyLongitude[10] = asc;
}

}  // namespace qv
