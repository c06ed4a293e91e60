// The vector path's kernels, compiled for AVX2 (see CMakeLists.txt) and run
// only where the CPU has it. The library's AVX2 sincos and atan2 (SLEEF, 3.5
// ulp) serve four lanes per call; the rest is the planets' lane kernel, here
// without fused multiply-add, so that the elements come out bit for bit as on
// the scalar path.
//
// Everything here works on vectors or lives in this file: an inline function
// on doubles from a shared header, compiled here for AVX2, could be the copy
// the linker keeps for the scalar path too.
#include <immintrin.h>
#include <sleef.h>

#include "astro/vector_math.h"

namespace qv::avx2 {

namespace {

struct Avx2Ops {
    using Lane = __m256d;
    static constexpr int kWidth = 4;
    static Lane Load(const double* p) { return _mm256_loadu_pd(p); }
    static void Store(double* p, Lane x) { _mm256_storeu_pd(p, x); }
    static Lane Broadcast(double x) { return _mm256_set1_pd(x); }
    static Lane Trunc(Lane x) { return _mm256_round_pd(x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
    static Lane Sqrt(Lane x) { return _mm256_sqrt_pd(x); }
    static Lane PlusIfNegative(Lane x, double c) {
        return _mm256_blendv_pd(x, x + Broadcast(c), _mm256_cmp_pd(x, Broadcast(0.0), _CMP_LT_OQ));
    }
    static void SinCosOf(Lane x, Lane& s, Lane& c) {
        const Sleef___m256d_2 r = Sleef_sincosd4_u35avx2(x);
        s = r.x;
        c = r.y;
    }
    // atan2 measures the left half-plane from the true π, ArcTan2 from the
    // program's (π − atan|y/x| there, negated below the axis).
    static Lane ArcTan2(Lane y, Lane x) {
        const Lane a = Sleef_atan2d4_u35avx2(y, x);
        const Lane offset = Broadcast(kPi - 3.141592653589793);
        const Lane left = _mm256_cmp_pd(x, Broadcast(0.0), _CMP_LT_OQ);
        const Lane upper = _mm256_cmp_pd(y, Broadcast(0.0), _CMP_GE_OQ);
        return _mm256_blendv_pd(a, a + _mm256_blendv_pd(-offset, offset, upper), left);
    }
};

}  // namespace

void GeocentricLanes(const PlanetLanes& lanes, double d, double out[PlanetLanes::kCount]) {
    PlanetKernel<Avx2Ops>::Geocentric(lanes, d, out);
}

void SinCos4(const double x[4], SinCos out[4]) {
    const Sleef___m256d_2 r = Sleef_sincosd4_u35avx2(_mm256_loadu_pd(x));
    for (int k = 0; k < 4; ++k) out[k] = {r.x[k], r.y[k]};
}

}  // namespace qv::avx2
