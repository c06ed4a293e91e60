// The planets' fast path, written once for a lane type: a double (the scalar
// path, one body per step) or a vector of four doubles (the AVX2 path, four
// bodies per step). Each instantiation lives in its own source file with
// operations of its own (below), so neither can stand in for the other.
//
// Per body: the elements as PlanetElements computes them; one sincos of the
// mean anomaly M; Kepler's equation E − e·sin E = M from the term-by-term
// start E₀ = M + e·sin M·(1 + e·cos M) by three Newton steps, each turning
// (sin E, cos E) by a short series instead of calling sin and cos; the
// position x = a(cos E − e), y = a√(1 − e²)·sin E in the orbit plane, turned
// by ω, then by i about the node line and by Ω, these three by short series
// around their J2000 values; one atan2 of planet − Earth.
//
// Valid for |d| ≤ kFastDays: the eccentricities stay below 0.26, where the
// three Newton steps shrink below 0.0087, 1e-5 and 1e-11 rad (each within the
// range of the series used for it) and leave E exact to rounding, and the
// slowly turning angles move less than 2⁻⁵ rad.
#pragma once

#include "astro/calendar.h"
#include "astro/sincos.h"

namespace qv {

// The fast path keeps to 150 years either side of J2000. Days.
inline constexpr double kFastDays = 54787.5;

// The lanes: the Earth, Mercury, Venus, Mars, Jupiter, Saturn, Uranus,
// Neptune, Pluto, and Pluto again to fill a third vector of four. Elements
// and rates as the element table gives them (degrees, arcseconds per
// century); ω (for the Earth ϖ), the node and the inclination as sin and cos
// at J2000 with rates in radians per century (for the Earth node and
// inclination 0).
struct alignas(32) PlanetLanes {
    static constexpr int kCount = 12;
    static constexpr int kBodies = 9;  // lanes that are not padding
    double a[kCount], aRate[kCount], e[kCount], eRate[kCount];
    double L[kCount], LRate[kCount], peri[kCount], periRate[kCount];
    double omegaS[kCount], omegaC[kCount], omegaRate[kCount];
    double nodeS[kCount], nodeC[kCount], nodeRate[kCount];
    double inclS[kCount], inclC[kCount], inclRate[kCount];
    double seen[kCount];  // 1 for a planet; 0 for the Earth, whose lane gives the Sun
};

// Ops provides, for its Lane type (double or a vector of doubles):
//   kWidth                       bodies per Lane
//   Load(p), Store(p, x)         lanes from and to p[0 .. kWidth−1]
//   Broadcast(x)                 x in every lane
//   Trunc(x), Sqrt(x)            rounding toward zero, square root
//   PlusIfNegative(x, c)         x + c where x < 0, else x
//   SinCosOf(x, s, c)            sine and cosine from the library
//   ArcTan2(y, x)                as the program's ArcTan2, (−π, π] with its π
template <class Ops>
struct PlanetKernel {
    using Lane = typename Ops::Lane;

    struct Pair {
        Lane s, c;
    };

    // The angle a + b.
    static Pair Rotate(Pair a, Pair b) { return {a.s * b.c + a.c * b.s, a.c * b.c - a.s * b.s}; }

    // The angle base + δ, for |δ| ≤ 2⁻¹⁰, 2⁻⁵ and 0.4.
    static Pair NearShort(Pair base, Lane d) {
        const Lane d2 = d * d;
        return Rotate(base, {taylor::SinShort(d, d2), taylor::CosShort(d2)});
    }
    static Pair NearMedium(Pair base, Lane d) {
        const Lane d2 = d * d;
        return Rotate(base, {taylor::SinMedium(d, d2), taylor::CosMedium(d2)});
    }
    static Pair NearLong(Pair base, Lane d) {
        const Lane d2 = d * d;
        return Rotate(base, {taylor::SinLong(d, d2), taylor::CosLong(d2)});
    }

    // As WrapRadians: the fraction of turns times 2π, into [0, 2π). Radians.
    static Lane Wrap(Lane x) {
        const Lane q = x / Ops::Broadcast(kTwoPi);
        return Ops::PlusIfNegative((q - Ops::Trunc(q)) * Ops::Broadcast(kTwoPi), kTwoPi);
    }

    // sin E and cos E from M, its sine and cosine and e < 0.26. Radians.
    static Pair Kepler(Lane M, Pair m, Lane e) {
        const Lane one = Ops::Broadcast(1.0);
        const Lane start = e * m.s * (one + e * m.c);
        Lane E = M + start;
        Pair sc = NearLong(m, start);
        for (int step = 0; step < 3; ++step) {
            const Lane delta = (e * sc.s + M - E) / (one - e * sc.c);
            E = E + delta;
            sc = step == 0 ? NearMedium(sc, delta) : NearShort(sc, delta);
        }
        return sc;
    }

    // Heliocentric ecliptic x, y of the lanes from `at` at T centuries. AU.
    static void Heliocentric(const PlanetLanes& k, int at, Lane T, Lane& X, Lane& Y) {
        auto load = [at](const double* p) { return Ops::Load(p + at); };
        const Lane per3600 = Ops::Broadcast(3600.0), toRad = Ops::Broadcast(kDegToRad);
        const Lane a = load(k.a) + load(k.aRate) * T;
        const Lane e = load(k.e) + load(k.eRate) * T;
        const Lane peri = (load(k.peri) + load(k.periRate) * T / per3600) * toRad;
        const Lane L = Wrap((load(k.L) + load(k.LRate) * T / per3600) * toRad);
        const Lane M = Wrap(L - peri);
        Pair m;
        Ops::SinCosOf(M, m.s, m.c);
        const Pair E = Kepler(M, m, e);

        const Lane x = a * (E.c - e);
        const Lane y = a * Ops::Sqrt(Ops::Broadcast(1.0) - e * e) * E.s;
        const Pair w = NearMedium({load(k.omegaS), load(k.omegaC)}, load(k.omegaRate) * T);
        const Lane xo = x * w.c - y * w.s;  // r·cos u
        const Lane yo = x * w.s + y * w.c;  // r·sin u
        const Pair node = NearMedium({load(k.nodeS), load(k.nodeC)}, load(k.nodeRate) * T);
        const Lane cosI = NearShort({load(k.inclS), load(k.inclC)}, load(k.inclRate) * T).c;
        X = xo * node.c - yo * node.s * cosI;
        Y = xo * node.s + yo * node.c * cosI;
    }

    // Geocentric longitudes of the body lanes at d days since J2000 (the
    // Earth's lane gives the Sun), |d| ≤ kFastDays. Degrees in [0, 360].
    static void Geocentric(const PlanetLanes& k, double d, double out[PlanetLanes::kCount]) {
        constexpr int kSteps = (PlanetLanes::kBodies + Ops::kWidth - 1) / Ops::kWidth;
        const Lane T = Ops::Broadcast(d / 36525.0);
        Lane X[kSteps], Y[kSteps];
        for (int v = 0; v < kSteps; ++v) Heliocentric(k, v * Ops::kWidth, T, X[v], Y[v]);
        // The Earth is lane 0.
        double earth[2][Ops::kWidth];
        Ops::Store(earth[0], X[0]);
        Ops::Store(earth[1], Y[0]);
        const Lane earthX = Ops::Broadcast(earth[0][0]), earthY = Ops::Broadcast(earth[1][0]);
        for (int v = 0; v < kSteps; ++v) {
            const Lane seen = Ops::Load(k.seen + v * Ops::kWidth);
            const Lane lambda = Ops::ArcTan2(seen * Y[v] - earthY, seen * X[v] - earthX) * Ops::Broadcast(180.0 / kPi);
            Ops::Store(out + v * Ops::kWidth, Ops::PlusIfNegative(lambda, 360.0));
        }
    }
};

}  // namespace qv
