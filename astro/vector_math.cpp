#include "astro/vector_math.h"

#include <atomic>

namespace qv {

namespace {

std::atomic<bool> vectorWanted{true};

// AVX2 for the vectors, FMA for the library's AVX2 functions.
bool CpuHasAvx2AndFma() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

}  // namespace

bool VectorMathActive() {
    static const bool supported = CpuHasAvx2AndFma();
    return supported && vectorWanted.load(std::memory_order_relaxed);
}

void SetVectorMath(bool wanted) { vectorWanted.store(wanted, std::memory_order_relaxed); }

}  // namespace qv
