// The engine's formulas evaluated literally, one libm call per sine, cosine,
// tangent and arctangent, exactly as the program computed them before the
// fast engine. Frozen: it is the judge the fast engine is compared with, so
// it changes only if the formulas themselves change.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qv::oracle {

inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;
inline constexpr double kDegToRad = 0.0174532925199433;
inline constexpr double kRadToDeg = 57.2957795130823;

// Julian Day Number (JD at noon) of a civil date. Days.
double JulianDayNumber(int month, int day, int year);

// Days since 2000 January 1, 12:00 UT, no century rule. Days.
double DaysSinceJ2000(int year, int month, int day, int hour, int minute);

// Same direction in [0, 2π). Radians.
double WrapRadians(double x);

// Direction of the vector (x, y) in (−π, π]. Radians.
double ArcTan2(double y, double x);

// "15° 45' 0\" Can" from a longitude in degrees.
std::string FormatLongitude(double lon);

// "05 Ari 07" from a FormatLongitude text.
std::string FormatPosition(std::string_view longitudeText);

// Text with blanks removed at both ends.
std::string_view TrimBlanks(std::string_view s);

// The last n characters (UTF-8 code points) of s, or all of s if shorter.
std::string_view LastCharacters(std::string_view s, std::size_t n);

// Full sign name for the last three characters of a longitude text; empty if none.
std::string_view SignNameOfText(std::string_view longitudeText);

// The ascendant in degrees, [0, 360), for a civil date, UT hours on it and
// the place (longitude west positive, latitude north positive).
double AscendantDegrees(int year, int month, int day, double utHours, double lonWest, double lat);

// The Moon's longitude at T Julian centuries from J2000, degrees in [0, 360].
double MoonLongitude(double T);

// Julian centuries from J2000.0 for a civil date's JDN and UT hours on it.
double CenturiesSinceJ2000(double jdn, double utHours);

// Geocentric longitude of body 0..8 (Mercury, Venus, Sun, Mars … Pluto) at d
// days since J2000 on the mean ecliptic and equinox of J2000, degrees in
// [0, 360].
double GeocentricLongitude(int index, double d);

// General precession in longitude, IAU 2006, first two terms:
// (5028.796195″·T + 1.1054348″·T²) with T = d / 36525. Degrees.
double GeneralPrecession(double d);

// The J2000 longitude of GeocentricLongitude, then the precession to the
// date as a step of its own, brought into [0, 360] again. Degrees.
double GeocentricLongitudeOfDate(int index, double d);

// All nine on the equinox of the date, the Earth solved once. Degrees.
std::array<double, 9> GeocentricLongitudes(double d);

}  // namespace qv::oracle
