// The vector path's kernels, compiled for AVX2 (see CMakeLists.txt) and run
// only where the CPU has it. The library's AVX2 sincos and atan2 (SLEEF, 3.5
// ulp) serve four lanes per call; everything else follows the scalar fast
// path step by step, without fused multiply-add, so that the elements come
// out bit for bit as there.
//
// Everything here works on vectors or lives in this file: an inline function
// on doubles from a shared header, compiled here for AVX2, could be the copy
// the linker keeps for the scalar path too.
#include <immintrin.h>
#include <sleef.h>

#include "astro/calendar.h"
#include "astro/vector_math.h"

namespace qv::avx2 {

namespace {

using V = __m256d;

V Broadcast(double x) { return _mm256_set1_pd(x); }

// Lane-wise a where the mask is set, else b.
V Select(V mask, V a, V b) { return _mm256_blendv_pd(b, a, mask); }

// sin and cos of four angles.
struct SinCos4V {
    V s, c;
};

SinCos4V Rotate(SinCos4V a, SinCos4V b) { return {a.s * b.c + a.c * b.s, a.c * b.c - a.s * b.s}; }

// The angle base + δ for |δ| within the range of the series length named.
SinCos4V NearShort(SinCos4V base, V delta) {
    const V d2 = delta * delta;
    return Rotate(base, {taylor::SinShort(delta, d2), taylor::CosShort(d2)});
}
SinCos4V NearMedium(SinCos4V base, V delta) {
    const V d2 = delta * delta;
    return Rotate(base, {taylor::SinMedium(delta, d2), taylor::CosMedium(d2)});
}
SinCos4V NearLong(SinCos4V base, V delta) {
    const V d2 = delta * delta;
    return Rotate(base, {taylor::SinLong(delta, d2), taylor::CosLong(d2)});
}

// As WrapRadians: the fraction of turns, times 2π, into [0, 2π). Radians.
V WrapRadians4(V x) {
    const V q = x / Broadcast(kTwoPi);
    const V f = q - _mm256_round_pd(q, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const V r = f * Broadcast(kTwoPi);
    return Select(_mm256_cmp_pd(r, Broadcast(0.0), _CMP_LT_OQ), r + Broadcast(kTwoPi), r);
}

// Heliocentric x, y of four lanes starting at `at`. AU.
void Heliocentric(const PlanetLanes& k, int at, V T, V& X, V& Y) {
    auto load = [at](const double* p) { return _mm256_load_pd(p + at); };
    // The elements, as PlanetElements computes them.
    const V a = load(k.a) + load(k.aRate) * T;
    const V e = load(k.e) + load(k.eRate) * T;
    const V peri = (load(k.peri) + load(k.periRate) * T / Broadcast(3600.0)) * Broadcast(kDegToRad);
    const V L = WrapRadians4((load(k.L) + load(k.LRate) * T / Broadcast(3600.0)) * Broadcast(kDegToRad));
    const V M = WrapRadians4(L - peri);

    // Kepler's equation: the start of the scalar path, then three Newton
    // steps, enough below e = 0.26 (steps below 0.0087, 1e-5 and 1e-11).
    const Sleef___m256d_2 m = Sleef_sincosd4_u35avx2(M);
    const V start = e * m.x * (Broadcast(1.0) + e * m.y);
    V E = M + start;
    SinCos4V sc = NearLong({m.x, m.y}, start);
    for (int step = 0; step < 3; ++step) {
        const V delta = -(E - e * sc.s - M) / (Broadcast(1.0) - e * sc.c);
        E = E + delta;
        sc = step == 0 ? NearMedium(sc, delta) : NearShort(sc, delta);
    }

    // The orbit plane turned by ω, then by i about the node line and by Ω.
    const V x = a * (sc.c - e);
    const V y = a * _mm256_sqrt_pd(Broadcast(1.0) - e * e) * sc.s;
    const SinCos4V w = NearMedium({load(k.omegaS), load(k.omegaC)}, load(k.omegaRate) * T);
    const V xo = x * w.c - y * w.s;
    const V yo = x * w.s + y * w.c;
    const SinCos4V node = NearMedium({load(k.nodeS), load(k.nodeC)}, load(k.nodeRate) * T);
    const V cosI = NearShort({load(k.inclS), load(k.inclC)}, load(k.inclRate) * T).c;
    X = xo * node.c - yo * node.s * cosI;
    Y = xo * node.s + yo * node.c * cosI;
}

}  // namespace

void GeocentricLanes(const PlanetLanes& lanes, double d, double out[PlanetLanes::kCount]) {
    constexpr int kVectors = PlanetLanes::kCount / 4;
    const V T = Broadcast(d / 36525.0);
    V X[kVectors], Y[kVectors];
    for (int v = 0; v < kVectors; ++v) Heliocentric(lanes, 4 * v, T, X[v], Y[v]);
    // The Earth is lane 0.
    const V earthX = Broadcast(X[0][0]), earthY = Broadcast(Y[0][0]);
    // ArcTan2 measures the left half-plane from the program's π; atan2 from the true one.
    const V piOffset = Broadcast(kPi - 3.141592653589793);
    for (int v = 0; v < kVectors; ++v) {
        const V seen = _mm256_load_pd(lanes.seen + 4 * v);
        const V gx = seen * X[v] - earthX;
        const V gy = seen * Y[v] - earthY;
        V A = Sleef_atan2d4_u35avx2(gy, gx);
        const V left = _mm256_cmp_pd(gx, Broadcast(0.0), _CMP_LT_OQ);
        const V upper = _mm256_cmp_pd(gy, Broadcast(0.0), _CMP_GE_OQ);
        A = Select(left, A + Select(upper, piOffset, -piOffset), A);
        const V lambda = A * Broadcast(180.0 / kPi);
        _mm256_storeu_pd(out + 4 * v,
                         Select(_mm256_cmp_pd(lambda, Broadcast(0.0), _CMP_LT_OQ), lambda + Broadcast(360.0), lambda));
    }
}

void SinCos4(const double x[4], SinCos out[4]) {
    const Sleef___m256d_2 r = Sleef_sincosd4_u35avx2(_mm256_loadu_pd(x));
    for (int k = 0; k < 4; ++k) out[k] = {r.x[k], r.y[k]};
}

}  // namespace qv::avx2
