#include "astro/planets.h"

#include <cmath>

#include "astro/calendar.h"
#include "astro/planet_lanes.h"
#include "astro/text_steps.h"
#include "astro/vector_math.h"

namespace qv {

namespace {

// One row: value at J2000 and rate per Julian century for each element.
struct ElementRow {
    double a, aRate, e, eRate;
    double i, iRate, node, nodeRate, peri, periRate, L, LRate;  // degrees, arcsec/cy
};

// Keplerian elements and rates, mean ecliptic and equinox of J2000
// (Explanatory Supplement to the Astronomical Almanac, 1992; 1800–2050).
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

// Kepler's equation stops when a Newton step changes E by at most this. Radians.
constexpr double kKeplerTolerance = 1e-12;
// Safety net only: the table's eccentricities converge in a handful of steps.
constexpr int kKeplerMaxSteps = 100;

// The planets' lane kernel on doubles: one body per step, the math library.
struct ScalarOps {
    using Lane = double;
    static constexpr int kWidth = 1;
    static double Load(const double* p) { return *p; }
    static void Store(double* p, double x) { *p = x; }
    static double Broadcast(double x) { return x; }
    static double Trunc(double x) { return std::trunc(x); }
    static double Sqrt(double x) { return std::sqrt(x); }
    static double PlusIfNegative(double x, double c) { return x < 0 ? x + c : x; }
    static void SinCosOf(double x, double& s, double& c) {
        const SinCos sc = qv::SinCosOf(x);
        s = sc.s;
        c = sc.c;
    }
    static double ArcTan2(double y, double x) { return qv::ArcTan2(y, x); }
};

using ScalarKernel = PlanetKernel<ScalarOps>;

// Body index of each lane (see PlanetLanes).
constexpr int kLaneBody[PlanetLanes::kCount] = {kEarth,  kMercury, kVenus, kMars,  kJupiter, kSaturn,
                                                kUranus, kNeptune, kPluto, kPluto, kPluto,   kPluto};

// Arcseconds per century to radians per century.
constexpr double RateRadians(double arcsecPerCentury) { return arcsecPerCentury / 3600.0 * kDegToRad; }

PlanetLanes MakePlanetLanes() {
    PlanetLanes k{};
    for (int lane = 0; lane < PlanetLanes::kCount; ++lane) {
        const int index = kLaneBody[lane];
        const ElementRow& r = kElements[index];
        k.a[lane] = r.a, k.aRate[lane] = r.aRate, k.e[lane] = r.e, k.eRate[lane] = r.eRate;
        k.L[lane] = r.L, k.LRate[lane] = r.LRate, k.peri[lane] = r.peri, k.periRate[lane] = r.periRate;
        // The Earth's orbit is turned by ϖ alone; its node and inclination are unused.
        const bool earth = index == kEarth;
        const SinCos omega = SinCosOf((earth ? r.peri : r.peri - r.node) * kDegToRad);
        const SinCos node = earth ? SinCos{} : SinCosOf(r.node * kDegToRad);
        const SinCos incl = earth ? SinCos{} : SinCosOf(r.i * kDegToRad);
        k.omegaS[lane] = omega.s, k.omegaC[lane] = omega.c;
        k.omegaRate[lane] = RateRadians(earth ? r.periRate : r.periRate - r.nodeRate);
        k.nodeS[lane] = node.s, k.nodeC[lane] = node.c, k.nodeRate[lane] = earth ? 0.0 : RateRadians(r.nodeRate);
        k.inclS[lane] = incl.s, k.inclC[lane] = incl.c, k.inclRate[lane] = earth ? 0.0 : RateRadians(r.iRate);
        k.seen[lane] = earth ? 0.0 : 1.0;
    }
    return k;
}

const PlanetLanes& PlanetLaneTable() {
    static const PlanetLanes lanes = MakePlanetLanes();
    return lanes;
}

}  // namespace

// Mean elements at d days since J2000 (rates per Julian century). AU, radians.
OrbitalElements PlanetElements(int index, double d) {
    const ElementRow& r = kElements[index];
    const double T = d / 36525.0;
    OrbitalElements el;
    el.a = r.a + r.aRate * T;
    el.e = r.e + r.eRate * T;
    el.i = (r.i + r.iRate * T / 3600.0) * kDegToRad;
    el.node = (r.node + r.nodeRate * T / 3600.0) * kDegToRad;
    el.peri = (r.peri + r.periRate * T / 3600.0) * kDegToRad;
    el.L = WrapRadians((r.L + r.LRate * T / 3600.0) * kDegToRad);
    return el;
}

// True anomaly from Kepler's equation E − e·sin E = M by Newton. Radians.
double TrueAnomaly(double M, double e) {
    double E = M + e * std::sin(M) * (1.0 + e * std::cos(M));
    for (int step = 0; step < kKeplerMaxSteps; ++step) {
        const double E1 = E;
        E = E1 - (E1 - e * std::sin(E1) - M) / (1.0 - e * std::cos(E1));
        if (!(std::fabs(E - E1) > kKeplerTolerance)) break;
    }
    double v = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
    if (v < 0) v = v + kTwoPi;
    return v;
}

// Three Newton steps of the lane kernel, on one body. Radians.
SinCos EccentricAnomaly(double M, double e) {
    const ScalarKernel::Pair sc = ScalarKernel::Kepler(M, {std::sin(M), std::cos(M)}, e);
    return {sc.s, sc.c};
}

// Earth: r = a(1 − e²)/(1 + e cos v), direction v + ϖ in the ecliptic. AU.
EclipticXY EarthHeliocentric(double d) {
    const OrbitalElements G = PlanetElements(kEarth, d);
    const double v = TrueAnomaly(WrapRadians(G.L - G.peri), G.e);
    const double r = G.a * (1.0 - G.e * G.e) / (1.0 + G.e * std::cos(v));
    return {r * std::cos(v + G.peri), r * std::sin(v + G.peri)};
}

// Planet: orbit rotated by node and inclination, argument of latitude u. AU.
EclipticXY PlanetHeliocentric(int index, double d) {
    if (index == kEarth) return {0.0, 0.0};
    const OrbitalElements P = PlanetElements(index, d);
    const double v = TrueAnomaly(WrapRadians(P.L - P.peri), P.e);
    const double r = P.a * (1.0 - P.e * P.e) / (1.0 + P.e * std::cos(v));
    const double u = v + P.peri - P.node;
    return {r * (std::cos(P.node) * std::cos(u) - std::sin(P.node) * std::sin(u) * std::cos(P.i)),
            r * (std::sin(P.node) * std::cos(u) + std::cos(P.node) * std::sin(u) * std::cos(P.i))};
}

namespace {

// Into [0, 360] a turn at a time, 360 itself kept. Degrees.
double OneTurn(double lambda) {
    while (lambda > 360) lambda = lambda - 360.0;
    while (lambda < 0) lambda = lambda + 360.0;
    return lambda;
}

}  // namespace

// Direction of planet − Earth, reduced into one turn. Degrees.
double GeocentricFrom(EclipticXY planet, EclipticXY earth) {
    const double X = planet.x - earth.x;
    const double Y = planet.y - earth.y;
    return OneTurn(ArcTan2(Y, X) * (180.0 / kPi));
}

// Geocentric longitude as heliocentric planet minus heliocentric Earth. Degrees.
double GeocentricLongitude(int index, double d) {
    return GeocentricFrom(PlanetHeliocentric(index, d), EarthHeliocentric(d));
}

// p = 5028.796195″·T + 1.1054348″·T², T in Julian centuries from J2000. Degrees.
double GeneralPrecession(double d) {
    const double T = d / 36525.0;
    return (5028.796195 * T + 1.1054348 * T * T) / 3600.0;
}

// λ + p into one turn. Degrees.
double LongitudeOfDate(double lonJ2000, double d) { return OneTurn(lonJ2000 + GeneralPrecession(d)); }

// The J2000 longitude term by term, then the precession. Degrees.
double GeocentricLongitudeOfDate(int index, double d) { return LongitudeOfDate(GeocentricLongitude(index, d), d); }

std::array<double, 9> GeocentricLongitudes(double d) {
    std::array<double, 9> out{};
    if (!(std::fabs(d) <= kFastDays)) {
        const EclipticXY earth = EarthHeliocentric(d);
        for (int index = 0; index < 9; ++index)
            out[static_cast<std::size_t>(index)] =
                LongitudeOfDate(GeocentricFrom(PlanetHeliocentric(index, d), earth), d);
        return out;
    }
    double lanes[PlanetLanes::kCount];
    if (VectorMathActive())
        avx2::GeocentricLanes(PlanetLaneTable(), d, lanes);
    else
        ScalarKernel::Geocentric(PlanetLaneTable(), d, lanes);
    const double p = GeneralPrecession(d);
    for (int lane = 0; lane < PlanetLanes::kBodies; ++lane)
        out[static_cast<std::size_t>(kLaneBody[lane])] = OneTurn(lanes[lane] + p);
    // Near an arcsecond step the term-by-term formulas decide.
    for (int index = 0; index < 9; ++index) {
        double& lon = out[static_cast<std::size_t>(index)];
        if (NearArcsecondStep(lon)) lon = GeocentricLongitudeOfDate(index, d);
    }
    return out;
}

}  // namespace qv
