#include "astro/planets.h"

#include <cmath>

#include "astro/calendar.h"
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
    {0.38709893, 0.00000066, 0.20563069, 0.00002527, 7.00487, -23.51, 48.33167, -446.30,
     77.45645, 573.57, 252.25084, 538101628.29},
    {0.72333199, 0.00000092, 0.00677323, -0.00004938, 3.39471, -2.86, 76.68069, -996.89,
     131.53298, -108.80, 181.97973, 210664136.06},
    {1.00000011, -0.00000005, 0.01671022, -0.00003804, 0.00005, -46.94, -11.26064, -18228.25,
     102.94719, 1198.28, 100.46435, 129597740.63},
    {1.52366231, -0.00007221, 0.09341233, 0.00011902, 1.85061, -25.47, 49.57854, -1020.19,
     336.04084, 1560.78, 355.45332, 68905103.78},
    {5.20336301, 0.00060737, 0.04839266, -0.00012880, 1.30530, -4.15, 100.55615, 1217.17,
     14.75385, 839.93, 34.40438, 10925078.35},
    {9.53707032, -0.00301530, 0.05415060, -0.00036762, 2.48446, 6.11, 113.71504, -1591.05,
     92.43194, -1948.89, 49.94432, 4401052.95},
    {19.19126393, 0.00152025, 0.04716771, -0.00019150, 0.76986, -2.09, 74.22988, -1681.40,
     170.96424, 1312.56, 313.23218, 1542547.79},
    {30.06896348, -0.00125196, 0.00858587, 0.00002510, 1.76917, -3.64, 131.72169, -151.25,
     44.97135, -844.43, 304.88003, 786449.21},
    {39.48168677, -0.00076912, 0.24880766, 0.00006465, 17.14175, 11.07, 110.30347, -37.33,
     224.06676, -132.25, 238.92881, 522747.90},
};

// Kepler's equation stops when a Newton step changes E by at most this. Radians.
constexpr double kKeplerTolerance = 1e-12;
// Safety net only: the table's eccentricities converge in a handful of steps.
constexpr int kKeplerMaxSteps = 100;
// The rotating solution stops after a step of at most this: Newton's error is
// then below e/(2(1 − e))·step² < 10⁻¹⁶ for every body of the table. Radians.
constexpr double kRotationStepTolerance = 2e-8;

// The slowly turning angles of one body as sin and cos at J2000 with their
// rates: ω the argument of perihelion ϖ − Ω (for the Earth ϖ itself), Ω the
// node, i the inclination. Rates in radians per Julian century.
struct SlowAngles {
    SinCos omega, node, incl;
    double omegaRate = 0, nodeRate = 0, inclRate = 0;
};

// Arcseconds per century to radians per century.
constexpr double RateRadians(double arcsecPerCentury) { return arcsecPerCentury / 3600.0 * kDegToRad; }

std::array<SlowAngles, 9> MakeSlowAngles() {
    std::array<SlowAngles, 9> table{};
    for (int index = 0; index < 9; ++index) {
        const ElementRow& r = kElements[index];
        SlowAngles& a = table[static_cast<std::size_t>(index)];
        const bool earth = index == kEarth;
        a.omega = SinCosOf((earth ? r.peri : r.peri - r.node) * kDegToRad);
        a.omegaRate = RateRadians(earth ? r.periRate : r.periRate - r.nodeRate);
        a.node = SinCosOf(r.node * kDegToRad);
        a.nodeRate = RateRadians(r.nodeRate);
        a.incl = SinCosOf(r.i * kDegToRad);
        a.inclRate = RateRadians(r.iRate);
    }
    return table;
}

const std::array<SlowAngles, 9>& SlowAngleTable() {
    static const std::array<SlowAngles, 9> table = MakeSlowAngles();
    return table;
}

// Body index of each vector lane (see PlanetLanes).
constexpr int kLaneBody[PlanetLanes::kCount] = {kEarth,  kMercury, kVenus, kMars,  kJupiter, kSaturn,
                                                kUranus, kNeptune, kPluto, kPluto, kPluto,   kPluto};

// The vector path keeps to 150 years either side of J2000. Days.
constexpr double kVectorDays = 54787.5;

PlanetLanes MakePlanetLanes() {
    PlanetLanes k{};
    for (int lane = 0; lane < PlanetLanes::kCount; ++lane) {
        const int index = kLaneBody[lane];
        const ElementRow& r = kElements[index];
        const SlowAngles& slow = SlowAngleTable()[static_cast<std::size_t>(index)];
        const bool earth = index == kEarth;
        k.a[lane] = r.a, k.aRate[lane] = r.aRate, k.e[lane] = r.e, k.eRate[lane] = r.eRate;
        k.L[lane] = r.L, k.LRate[lane] = r.LRate, k.peri[lane] = r.peri, k.periRate[lane] = r.periRate;
        k.omegaS[lane] = slow.omega.s, k.omegaC[lane] = slow.omega.c, k.omegaRate[lane] = slow.omegaRate;
        k.nodeS[lane] = earth ? 0.0 : slow.node.s, k.nodeC[lane] = earth ? 1.0 : slow.node.c;
        k.nodeRate[lane] = earth ? 0.0 : slow.nodeRate;
        k.inclS[lane] = earth ? 0.0 : slow.incl.s, k.inclC[lane] = earth ? 1.0 : slow.incl.c;
        k.inclRate[lane] = earth ? 0.0 : slow.inclRate;
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

// E − e·sin E = M by Newton; (sin E, cos E) turned by each step δ. Radians.
SinCos EccentricAnomaly(double M, SinCos sinCosM, double e) {
    // Start E₀ = M + e·sin M·(1 + e·cos M), as the term-by-term solution.
    const double start = e * sinCosM.s * (1.0 + e * sinCosM.c);
    double E = M + start;
    SinCos sc = SinCosNear(sinCosM, start);
    for (int step = 0; step < kKeplerMaxSteps; ++step) {
        const double delta = -(E - e * sc.s - M) / (1.0 - e * sc.c);
        E = E + delta;
        sc = SinCosNear(sc, delta);
        if (!(std::fabs(delta) > kRotationStepTolerance)) break;
    }
    return sc;
}

// Orbit plane x = a(cos E − e), y = a√(1 − e²)·sin E, turned by ω, then by i
// about the node line and by Ω (the Earth by ϖ only). AU.
EclipticXY HeliocentricFromEccentricAnomaly(int index, double d) {
    const OrbitalElements P = PlanetElements(index, d);
    const double M = WrapRadians(P.L - P.peri);
    const SinCos E = EccentricAnomaly(M, SinCosOf(M), P.e);
    const double x = P.a * (E.c - P.e);
    const double y = P.a * std::sqrt(1.0 - P.e * P.e) * E.s;

    const SlowAngles& slow = SlowAngleTable()[static_cast<std::size_t>(index)];
    const double T = d / 36525.0;
    const SinCos w = SinCosNear(slow.omega, slow.omegaRate * T);
    const double xo = x * w.c - y * w.s;  // r·cos u
    const double yo = x * w.s + y * w.c;  // r·sin u
    if (index == kEarth) return {xo, yo};
    const SinCos node = SinCosNear(slow.node, slow.nodeRate * T);
    const double cosI = SinCosNear(slow.incl, slow.inclRate * T).c;
    return {xo * node.c - yo * node.s * cosI, xo * node.s + yo * node.c * cosI};
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

// Direction of planet − Earth, reduced into one turn. Degrees.
double GeocentricFrom(EclipticXY planet, EclipticXY earth) {
    const double X = planet.x - earth.x;
    const double Y = planet.y - earth.y;
    double lambda = ArcTan2(Y, X) * (180.0 / kPi);
    while (lambda > 360) lambda = lambda - 360.0;
    while (lambda < 0) lambda = lambda + 360.0;
    return lambda;
}

// Geocentric longitude as heliocentric planet minus heliocentric Earth. Degrees.
double GeocentricLongitude(int index, double d) {
    return GeocentricFrom(PlanetHeliocentric(index, d), EarthHeliocentric(d));
}

std::array<double, 9> GeocentricLongitudes(double d) {
    std::array<double, 9> out{};
    if (VectorMathActive() && std::fabs(d) <= kVectorDays) {
        double lanes[PlanetLanes::kCount];
        avx2::GeocentricLanes(PlanetLaneTable(), d, lanes);
        for (int lane = 0; lane < 9; ++lane) out[static_cast<std::size_t>(kLaneBody[lane])] = lanes[lane];
    } else {
        const EclipticXY earth = HeliocentricFromEccentricAnomaly(kEarth, d);
        for (int index = 0; index < 9; ++index) {
            const EclipticXY planet = index == kEarth ? EclipticXY{} : HeliocentricFromEccentricAnomaly(index, d);
            out[static_cast<std::size_t>(index)] = GeocentricFrom(planet, earth);
        }
    }
    for (int index = 0; index < 9; ++index) {
        double& lon = out[static_cast<std::size_t>(index)];
        if (NearArcsecondStep(lon)) lon = GeocentricLongitude(index, d);
    }
    return out;
}

}  // namespace qv
