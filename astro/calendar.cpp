#include "astro/calendar.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "state/text.h"
#include "state/text_room.h"

namespace qv {

namespace {

// Plain decimal of a whole number held in a double, without padding or sign.
char* PutWhole(char* p, char* end, double value) {
    if (value >= 0 && value < 100) {  // every degree, minute and second within a sign
        const int v = static_cast<int>(value);
        if (v >= 10) *p++ = static_cast<char>('0' + v / 10);
        *p++ = static_cast<char>('0' + v % 10);
        return p;
    }
    if (!(value >= 0 && value < 1e18)) value = 0;  // NaN or out of reach: no undefined cast
    return std::to_chars(p, end, static_cast<long long>(value)).ptr;
}

// 0..99 as two digits.
char* PutTwoDigits(char* p, int value) {
    *p++ = static_cast<char>('0' + value / 10);
    *p++ = static_cast<char>('0' + value % 10);
    return p;
}

char* PutText(char* p, std::string_view text) {
    for (char c : text) *p++ = c;
    return p;
}

// floor(x) for x ≥ 0 (or NaN) without a library call: below 2^52 the
// truncation to an integer is the floor and exact; above, x is whole.
double FloorOfNonNegative(double x) {
    if (x < 4503599627370496.0) return static_cast<double>(static_cast<std::int64_t>(x));
    return std::floor(x);
}

// Longest longitude text: 20 digits three times, the separators and the
// abbreviation.
constexpr std::size_t kLongitudeTextRoom = 96;

char* PutLongitudeText(char* p, char* end, double lon) {
    const LongitudeParts parts = LongitudePartsOf(lon);
    p = PutWhole(p, end, parts.degrees);
    p = PutText(p, "\u00B0 ");
    p = PutWhole(p, end, parts.minutes);
    p = PutText(p, "' ");
    p = PutWhole(p, end, parts.seconds);
    p = PutText(p, "\" ");
    if (parts.sign >= 0 && parts.sign <= 11) p = PutText(p, SignAbbreviation(static_cast<int>(parts.sign)));
    return p;
}

}  // namespace

std::string_view SignAbbreviation(int sign) {
    if (sign < 0 || sign > 11) return {};
    return SignAbbreviations.substr(static_cast<std::size_t>(3 * sign), 3);
}

// Julian Day Number of a civil date, months counted from March of −4800. Days.
double JulianDayNumber(int month, int day, int year) {
    const double n = 12.0 * (year + 4800) + month - 3;
    const double nMod12 = n - 12.0 * std::floor(n / 12.0);
    double j = std::floor((365.0 * n + 2.0 * nMod12 + 7.0) / 12.0) + day + std::floor(n / 48.0) - 32083.0;
    if (j > 2299171.0) j = j + std::floor(n / 4800.0) - std::floor(n / 1200.0) + 38.0;
    return j;
}

// Days since J2000.0 (2000-01-01 12:00 UT), short formula without century rule. Days.
double DaysSinceJ2000(int year, int month, int day, int hour, int minute, int second) {
    const double y = year;
    const double m = month;
    return 367.0 * y - std::floor(7.0 * (y + std::floor((m + 9.0) / 12.0)) / 4.0) + std::floor(275.0 * m / 9.0) + day -
           730531.5 + (hour + minute / 60.0 + second / 3600.0) / 24.0;
}

// One correction each way into (0, 360]-ish; not a full reduction. Degrees.
double NormalizeDegrees(double a) {
    if (a < 0) a = a + 360.0;
    if (a > 360) a = a - 360.0;
    return a;
}

// Reduction of an angle to [0, 2π) through the fraction of turns. Radians.
double WrapRadians(double x) {
    const double q = x / kTwoPi;
    const double f = q - std::trunc(q);
    double r = f * kTwoPi;
    if (r < 0) r = r + kTwoPi;
    return r;
}

// Quadrant-correct arctangent of y/x, π on the negative x-axis. Radians.
double ArcTan2(double y, double x) {
    if (x > 0) return std::atan(y / x);
    if (x == 0) {
        if (y > 0) return kPi / 2;
        if (y < 0) return -kPi / 2;
        return 0.0;
    }
    const double a = kPi - std::atan(std::fabs(y / x));
    return y >= 0 ? a : -a;
}

// Degrees, minutes and seconds floored, sign = Int(degrees / 30), degrees
// brought into the sign as repeated −30 would. Degrees.
LongitudeParts LongitudePartsOf(double lon) {
    lon = std::fabs(lon);
    LongitudeParts parts;
    parts.degrees = FloorOfNonNegative(lon);
    const double frac = lon - parts.degrees;
    const double m = 60.0 * frac;
    parts.minutes = FloorOfNonNegative(m);
    const double s = m - parts.minutes;
    parts.seconds = FloorOfNonNegative(60.0 * s);
    parts.sign = FloorOfNonNegative(parts.degrees / 30.0);
    if (parts.degrees >= 30) parts.degrees = parts.degrees - 30.0 * parts.sign;
    return parts;
}

std::string FormatLongitude(double lon) {
    char buf[kLongitudeTextRoom];
    return std::string(buf, PutLongitudeText(buf, buf + sizeof buf, lon));
}

void WriteLongitudeText(double lon, std::string& text) {
    char buf[kLongitudeTextRoom];
    const char* const end = PutLongitudeText(buf, buf + sizeof buf, lon);
    WriteKeepingRoom(text, std::string_view(buf, static_cast<std::size_t>(end - buf)), kLongitudeTextRoom);
}

void WritePositionText(double lon, std::string& text) {
    const LongitudeParts parts = LongitudePartsOf(lon);
    // A sign 0..11 bounds the degrees below 30; the minutes stay below 60.
    if (parts.sign >= 0 && parts.sign <= 11 && parts.minutes < 60) {
        char buf[9];
        char* p = PutTwoDigits(buf, static_cast<int>(parts.degrees));
        *p++ = ' ';
        p = PutText(p, SignAbbreviation(static_cast<int>(parts.sign)));
        *p++ = ' ';
        PutTwoDigits(p, static_cast<int>(parts.minutes));
        WriteKeepingRoom(text, std::string_view(buf, sizeof buf));
        return;
    }
    // No sign (360 and beyond, NaN): whatever the text's last characters give.
    text = FormatPosition(FormatLongitude(lon));
}

int SignOfLongitude(double lon) {
    const double sign = LongitudePartsOf(lon).sign;
    return sign >= 0 && sign <= 11 ? static_cast<int>(sign) : -1;
}

std::string FormatPosition(std::string_view longitudeText) {
    static constexpr std::string_view kDegree = "\u00B0";
    const std::string_view u = TrimBlanks(longitudeText);
    const auto degPos = u.find(kDegree);
    std::string_view d = u;
    std::string_view m;
    if (degPos != std::string_view::npos) {
        d = u.substr(0, degPos);
        const auto afterDeg = degPos + kDegree.size();
        const auto minEnd = u.find('\'', afterDeg);
        m = u.substr(afterDeg, minEnd == std::string_view::npos ? std::string_view::npos : minEnd - afterDeg);
    }
    d = TrimBlanks(d);
    m = TrimBlanks(m);
    const std::string_view s = TrimBlanks(LastCharacters(longitudeText, 3));
    std::string out;
    out.reserve(10);
    if (d.size() <= 1) out += '0';
    out += d;
    out += ' ';
    out += s;
    out += ' ';
    if (m.size() <= 1) out += '0';
    out += m;
    return out;
}

}  // namespace qv
