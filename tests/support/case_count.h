// How many random cases a test draws. The sanitizers' runs (scripts/test
// --sanitize) make every step tens of times slower; there it draws a
// fiftieth, enough to reach every branch the full count reaches, and the
// normal run keeps the full count as the judge.
#pragma once

#include <cstdint>

namespace qv {

// GCC says so for AddressSanitizer and ThreadSanitizer only, never for
// UndefinedBehaviorSanitizer: tests/CMakeLists.txt defines
// QV_SANITIZED_BUILD for a build whose flags ask for any sanitizer.
#if defined(QV_SANITIZED_BUILD) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

constexpr std::uint64_t RandomCaseCount(std::uint64_t full) { return kSanitized ? (full + 49) / 50 : full; }

}  // namespace qv
