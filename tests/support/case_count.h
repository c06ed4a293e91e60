// How many random cases a test draws. The sanitizers' run (scripts/test
// --sanitize) makes every step tens of times slower; there it draws a
// fiftieth, enough to reach every branch the full count reaches, and the
// normal run keeps the full count as the judge.
#pragma once

#include <cstdint>

namespace qv {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

constexpr std::uint64_t RandomCaseCount(std::uint64_t full) { return kSanitized ? (full + 49) / 50 : full; }

}  // namespace qv
