#include "astro/calendar.h"

#include <array>
#include <charconv>
#include <cmath>

namespace qv {

namespace {

// Plain decimal of a whole number held in a double, without padding or sign.
char* PutWhole(char* p, char* end, double value) {
    if (!(value >= 0 && value < 1e18)) value = 0;  // NaN or out of reach: no undefined cast
    return std::to_chars(p, end, static_cast<long long>(value)).ptr;
}

char* PutText(char* p, std::string_view text) {
    for (char c : text) *p++ = c;
    return p;
}

}  // namespace

std::string_view SignAbbreviation(int sign) {
    if (sign < 0 || sign > 11) return {};
    return SignAbbreviations.substr(static_cast<std::size_t>(3 * sign), 3);
}

int SignIndexFromAbbreviation(std::string_view abbreviation) {
    for (int k = 0; k < 12; ++k)
        if (SignAbbreviation(k) == abbreviation) return k;
    return -1;
}

std::string_view SignNameFromAbbreviation(std::string_view abbreviation) {
    int k = SignIndexFromAbbreviation(abbreviation);
    return k < 0 ? std::string_view{} : kSignNames[static_cast<std::size_t>(k)];
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
double DaysSinceJ2000(int year, int month, int day, int hour, int minute) {
    const double y = year;
    const double m = month;
    return 367.0 * y - std::floor(7.0 * (y + std::floor((m + 9.0) / 12.0)) / 4.0) +
           std::floor(275.0 * m / 9.0) + day - 730531.5 + (hour + minute / 60.0) / 24.0;
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

std::string FormatLongitude(double lon) {
    lon = std::fabs(lon);
    double deg = std::floor(lon);
    const double frac = lon - deg;
    const double m = 60.0 * frac;
    const double min = std::floor(m);
    const double s = m - min;
    const double sec = std::floor(60.0 * s);
    const double sign = std::floor(deg / 30.0);
    if (deg >= 30) deg = deg - 30.0 * std::floor(deg / 30.0);  // same as repeated −30
    // Longest text: 20 digits three times, the separators and the abbreviation.
    char buf[96];
    char* const end = buf + sizeof buf;
    char* p = PutWhole(buf, end, deg);
    p = PutText(p, "\u00B0 ");
    p = PutWhole(p, end, min);
    p = PutText(p, "' ");
    p = PutWhole(p, end, sec);
    p = PutText(p, "\" ");
    if (sign >= 0 && sign <= 11) p = PutText(p, SignAbbreviation(static_cast<int>(sign)));
    return std::string(buf, p);
}

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string_view LastCharacters(std::string_view s, std::size_t n) {
    std::size_t pos = s.size();
    while (n > 0 && pos > 0) {
        --pos;
        // Step over UTF-8 continuation bytes to the start of the code point.
        while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
        --n;
    }
    return s.substr(pos);
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
