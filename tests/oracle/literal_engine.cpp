#include "tests/oracle/literal_engine.h"

#include <charconv>
#include <cmath>

namespace qv::oracle {

namespace {

constexpr std::string_view kSignAbbreviations = "AriTauGemCanLeoVirLibScoSagCapAquPis";
constexpr std::array<std::string_view, 12> kSignNames = {"Aries",       "Taurus",    "Gemini",   "Cancer",
                                                         "Leo",         "Virgo",     "Libra",    "Scorpio",
                                                         "Sagittarius", "Capricorn", "Aquarius", "Pisces"};

std::string_view SignAbbreviation(int sign) {
    if (sign < 0 || sign > 11) return {};
    return kSignAbbreviations.substr(static_cast<std::size_t>(3 * sign), 3);
}

// The whole part of `value` in decimal after `out`; 0 outside [0, 1e18).
void AppendWhole(std::string& out, double value) {
    if (!(value >= 0 && value < 1e18)) value = 0;
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr);
}

}  // namespace

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
        while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
        --n;
    }
    return s.substr(pos);
}

// ---- Calendar, angles and texts --------------------------------------------

double JulianDayNumber(int month, int day, int year) {
    const double n = 12.0 * (year + 4800) + month - 3;
    const double nMod12 = n - 12.0 * std::floor(n / 12.0);
    double j = std::floor((365.0 * n + 2.0 * nMod12 + 7.0) / 12.0) + day + std::floor(n / 48.0) - 32083.0;
    if (j > 2299171.0) j = j + std::floor(n / 4800.0) - std::floor(n / 1200.0) + 38.0;
    return j;
}

double DaysSinceJ2000(int year, int month, int day, int hour, int minute) {
    const double y = year;
    const double m = month;
    return 367.0 * y - std::floor(7.0 * (y + std::floor((m + 9.0) / 12.0)) / 4.0) + std::floor(275.0 * m / 9.0) + day -
           730531.5 + (hour + minute / 60.0) / 24.0;
}

double WrapRadians(double x) {
    const double q = x / kTwoPi;
    const double f = q - std::trunc(q);
    double r = f * kTwoPi;
    if (r < 0) r = r + kTwoPi;
    return r;
}

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
    if (deg >= 30) deg = deg - 30.0 * std::floor(deg / 30.0);
    std::string out;
    AppendWhole(out, deg);
    out += "\u00B0 ";
    AppendWhole(out, min);
    out += "' ";
    AppendWhole(out, sec);
    out += "\" ";
    if (sign >= 0 && sign <= 11) out += SignAbbreviation(static_cast<int>(sign));
    return out;
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

std::string_view SignNameOfText(std::string_view longitudeText) {
    const std::string_view abbreviation = TrimBlanks(LastCharacters(longitudeText, 3));
    for (int k = 0; k < 12; ++k)
        if (SignAbbreviation(k) == abbreviation) return kSignNames[static_cast<std::size_t>(k)];
    return {};
}

// ---- Ascendant ---------------------------------------------------------------

double AscendantDegrees(int year, int month, int day, double utHours, double lonWest, double lat) {
    const double jd0 = JulianDayNumber(month, day, year);
    const double T = (jd0 - 2415020.0 + utHours / 24.0 - 0.5) / 36525.0;
    const double gmst = 6.6460656 + 2400.0513 * T + 0.0000258 * T * T + utHours;
    double ramcDeg = 15.0 * gmst - lonWest;
    if (ramcDeg >= 360.0) ramcDeg = std::fmod(ramcDeg, 360.0);
    const double ramc = ramcDeg * kDegToRad;
    const double eps = kDegToRad * (23.452294 - 0.0130125 * T);

    const double y = std::cos(ramc);
    // At a pole no single point rises: the limit as the latitude nears it,
    // 0° Libra in the north and 0° Aries in the south, or the last value
    // before that point when the latitudes near the pole give the sign before.
    if (lat == 90.0) return y > 0 ? std::nextafter(180.0, 0.0) : 180.0;
    if (lat == -90.0) return y < 0 ? std::nextafter(360.0, 0.0) : 0.0;
    const double x = -std::sin(ramc) * std::cos(eps) - std::sin(eps) * std::tan(lat * kDegToRad);
    double A = ArcTan2(y, x);
    if (A < 0) A = A + kPi;
    if (std::cos(ramc) < 0) A = A + kPi;
    double asc = A * kRadToDeg;
    while (asc >= 360.0) asc = asc - 360.0;
    return asc;
}

// ---- Moon --------------------------------------------------------------------

namespace {

struct MoonTerm {
    double coefficient;
    int d, m, mp, f;
    bool eFactor;
};

constexpr MoonTerm kTerms[25] = {
    {6.288774, 0, 0, 1, 0, false},   {1.274027, 2, 0, -1, 0, false}, {0.658314, 2, 0, 0, 0, false},
    {0.213618, 0, 0, 2, 0, false},   {-0.185116, 0, 1, 0, 0, true},  {-0.114332, 0, 0, 0, 2, false},
    {0.058793, 2, 0, -2, 0, false},  {0.057066, 2, -1, -1, 0, true}, {0.053322, 2, 0, 1, 0, false},
    {0.045758, 2, -1, 0, 0, true},   {-0.040923, 0, 1, -1, 0, true}, {-0.03472, 1, 0, 0, 0, false},
    {-0.030383, 0, 1, 1, 0, true},   {0.015327, 2, 0, 0, -2, false}, {-0.012528, 0, 0, 1, 2, false},
    {0.01098, 0, 0, 1, -2, false},   {0.010675, 4, 0, -1, 0, false}, {0.010034, 0, 0, 3, 0, false},
    {0.008548, 4, 0, -2, 0, false},  {-0.007888, 2, 1, -1, 0, true}, {-0.006766, 2, 1, 0, 0, true},
    {-0.005163, 1, 0, -1, 0, false}, {0.004987, 1, 1, 0, 0, true},   {0.004036, 2, -1, 1, 0, true},
    {0.003994, 2, 0, 2, 0, false},
};

}  // namespace

double CenturiesSinceJ2000(double jdn, double utHours) { return (jdn - 2451545.0 + utHours / 24.0 - 0.5) / 36525.0; }

double MoonLongitude(double T) {
    const double Lp = 218.3164591 + 481267.88134236 * T;
    const double D = (297.8502042 + 445267.1115168 * T) * kDegToRad;
    const double M = (357.5291092 + 35999.0502909 * T) * kDegToRad;
    const double Mp = (134.9634114 + 477198.8676313 * T) * kDegToRad;
    const double F = (93.2720993 + 483202.0175273 * T) * kDegToRad;
    const double E = 1.0 - 0.002516 * T - 0.0000074 * T * T;

    double sum = 0.0;
    for (const MoonTerm& t : kTerms) {
        double arg = 0.0;
        if (t.d) arg += t.d * D;
        if (t.m) arg += t.m * M;
        if (t.mp) arg += t.mp * Mp;
        if (t.f) arg += t.f * F;
        double term = t.coefficient * std::sin(arg);
        if (t.eFactor) term = term * E;
        sum += term;
    }

    double L = Lp + sum;
    if (L < 0) {
        L = std::fmod(L, 360.0);
        if (L < 0) L = L + 360.0;
        L = L + 0.0;
    } else if (L > 360.0) {
        L = std::fmod(L, 360.0);
        if (L == 0.0) L = 360.0;
    }
    return L;
}

// ---- Sun and planets ---------------------------------------------------------

namespace {

struct ElementRow {
    double a, aRate, e, eRate;
    double i, iRate, node, nodeRate, peri, periRate, L, LRate;
};

constexpr ElementRow kElements[9] = {
    {0.38709893, 0.00000066, 0.20563069, 0.00002527, 7.00487, -23.51, 48.33167, -446.30, 77.45645, 573.57, 252.25084,
     538101628.29},
    {0.72333199, 0.00000092, 0.00677323, -0.00004938, 3.39471, -2.86, 76.68069, -996.89, 131.53298, -108.80, 181.97973,
     210664136.06},
    {1.00000011, -0.00000005, 0.01671022, -0.00003804, 0.00005, -46.94, -11.26064, -18228.25, 102.94719, 1198.28,
     100.46435, 129597740.63},
    {1.52366231, -0.00007221, 0.09341233, 0.00011902, 1.85061, -25.47, 49.57854, -1020.19, 336.04084, 1560.78,
     355.45332, 68905103.78},
    {5.20336301, 0.00060737, 0.04839266, -0.00012880, 1.30530, -4.15, 100.55615, 1217.17, 14.75385, 839.93, 34.40438,
     10925078.35},
    {9.53707032, -0.00301530, 0.05415060, -0.00036762, 2.48446, 6.11, 113.71504, -1591.05, 92.43194, -1948.89, 49.94432,
     4401052.95},
    {19.19126393, 0.00152025, 0.04716771, -0.00019150, 0.76986, -2.09, 74.22988, -1681.40, 170.96424, 1312.56,
     313.23218, 1542547.79},
    {30.06896348, -0.00125196, 0.00858587, 0.00002510, 1.76917, -3.64, 131.72169, -151.25, 44.97135, -844.43, 304.88003,
     786449.21},
    {39.48168677, -0.00076912, 0.24880766, 0.00006465, 17.14175, 11.07, 110.30347, -37.33, 224.06676, -132.25,
     238.92881, 522747.90},
};

constexpr int kEarth = 2;

struct Elements {
    double a, e, i, node, peri, L;
};

struct XY {
    double x, y;
};

Elements PlanetElements(int index, double d) {
    const ElementRow& r = kElements[index];
    const double T = d / 36525.0;
    Elements el;
    el.a = r.a + r.aRate * T;
    el.e = r.e + r.eRate * T;
    el.i = (r.i + r.iRate * T / 3600.0) * kDegToRad;
    el.node = (r.node + r.nodeRate * T / 3600.0) * kDegToRad;
    el.peri = (r.peri + r.periRate * T / 3600.0) * kDegToRad;
    el.L = WrapRadians((r.L + r.LRate * T / 3600.0) * kDegToRad);
    return el;
}

double TrueAnomaly(double M, double e) {
    double E = M + e * std::sin(M) * (1.0 + e * std::cos(M));
    for (int step = 0; step < 100; ++step) {
        const double E1 = E;
        E = E1 - (E1 - e * std::sin(E1) - M) / (1.0 - e * std::cos(E1));
        if (!(std::fabs(E - E1) > 1e-12)) break;
    }
    double v = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
    if (v < 0) v = v + kTwoPi;
    return v;
}

XY EarthHeliocentric(double d) {
    const Elements G = PlanetElements(kEarth, d);
    const double v = TrueAnomaly(WrapRadians(G.L - G.peri), G.e);
    const double r = G.a * (1.0 - G.e * G.e) / (1.0 + G.e * std::cos(v));
    return {r * std::cos(v + G.peri), r * std::sin(v + G.peri)};
}

XY PlanetHeliocentric(int index, double d) {
    if (index == kEarth) return {0.0, 0.0};
    const Elements P = PlanetElements(index, d);
    const double v = TrueAnomaly(WrapRadians(P.L - P.peri), P.e);
    const double r = P.a * (1.0 - P.e * P.e) / (1.0 + P.e * std::cos(v));
    const double u = v + P.peri - P.node;
    return {r * (std::cos(P.node) * std::cos(u) - std::sin(P.node) * std::sin(u) * std::cos(P.i)),
            r * (std::sin(P.node) * std::cos(u) + std::cos(P.node) * std::sin(u) * std::cos(P.i))};
}

double GeocentricFrom(XY planet, XY earth) {
    const double X = planet.x - earth.x;
    const double Y = planet.y - earth.y;
    double lambda = ArcTan2(Y, X) * (180.0 / kPi);
    while (lambda > 360) lambda = lambda - 360.0;
    while (lambda < 0) lambda = lambda + 360.0;
    return lambda;
}

}  // namespace

double GeocentricLongitude(int index, double d) {
    return GeocentricFrom(PlanetHeliocentric(index, d), EarthHeliocentric(d));
}

double GeneralPrecession(double d) {
    const double T = d / 36525.0;
    return (5028.796195 * T + 1.1054348 * T * T) / 3600.0;
}

namespace {

double OfDate(double lonJ2000, double d) {
    double lambda = lonJ2000 + GeneralPrecession(d);
    while (lambda > 360) lambda = lambda - 360.0;
    while (lambda < 0) lambda = lambda + 360.0;
    return lambda;
}

}  // namespace

double GeocentricLongitudeOfDate(int index, double d) { return OfDate(GeocentricLongitude(index, d), d); }

std::array<double, 9> GeocentricLongitudes(double d) {
    const XY earth = EarthHeliocentric(d);
    std::array<double, 9> out{};
    for (int index = 0; index < 9; ++index)
        out[static_cast<std::size_t>(index)] = OfDate(GeocentricFrom(PlanetHeliocentric(index, d), earth), d);
    return out;
}

}  // namespace qv::oracle
