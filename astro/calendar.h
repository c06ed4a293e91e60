// Day counts, angle reduction, the quadrant-correct arctangent and the two
// text forms of an ecliptic longitude. Pure functions; integer-valued results
// are carried as doubles, "Int" is floor, "trunc" rounds toward zero.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "state/fixed_lists.h"

namespace qv {

// The constants of the engine, with exactly these digits.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;
inline constexpr double kDegToRad = 0.0174532925199433;
inline constexpr double kRadToDeg = 57.2957795130823;

// Three-letter abbreviation of sign k (0..11); empty for any other k.
std::string_view SignAbbreviation(int sign);

// Julian Day Number (JD at noon) of a civil date; Julian calendar up to
// JDN 2299171, Gregorian after (strict test). Days.
double JulianDayNumber(int month, int day, int year);

// Days since 2000 January 1, 12:00 UT; no century rule (exact 1900-03-01 to
// 2100-02-28). Seconds add second/3600 to the hours, which leaves every
// whole minute's count as it was. Days.
double DaysSinceJ2000(int year, int month, int day, int hour, int minute, int second = 0);

// Angle after at most one +360 and one -360 correction. Degrees.
double NormalizeDegrees(double a);

// Same direction in [0, 2π). Radians.
double WrapRadians(double x);

// Direction of the vector (x, y) in (−π, π], tested before dividing. Radians.
double ArcTan2(double y, double x);

// "15° 45' 0\" Can": degrees within the sign, truncated minutes and seconds,
// sign abbreviation. The sign of the argument is ignored. Degrees in.
std::string FormatLongitude(double lon);

// "05 Ari 07": two-digit degrees, abbreviation, two-digit minutes, made from a
// FormatLongitude text; the seconds are dropped.
std::string FormatPosition(std::string_view longitudeText);

// The numbers of a longitude text, by FormatLongitude's own floors: whole
// degrees within the sign, truncated minutes and seconds, and the sign
// number (a text names a sign only for 0..11). Degrees in.
struct LongitudeParts {
    double degrees = 0, minutes = 0, seconds = 0, sign = 0;
};
LongitudeParts LongitudePartsOf(double lon);

// FormatLongitude(lon), written over `text` in its own storage.
void WriteLongitudeText(double lon, std::string& text);

// FormatPosition(FormatLongitude(lon)), written over `text` in its own
// storage from the numbers, without the longitude text.
void WritePositionText(double lon, std::string& text);

// Sign 0..11 a longitude's text names, -1 when it names none (360 and beyond).
int SignOfLongitude(double lon);

}  // namespace qv
