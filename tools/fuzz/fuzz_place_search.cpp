// libFuzzer entry point of the place_search target (see fuzz_targets.h).
#include <cstddef>
#include <cstdint>

#include "tools/fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::fuzz::PlaceSearchTarget(data, size);
    return 0;
}
