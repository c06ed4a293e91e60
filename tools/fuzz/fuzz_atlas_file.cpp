// libFuzzer entry point of the atlas_file target (see fuzz_targets.h).
#include <cstddef>
#include <cstdint>

#include "tools/fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::fuzz::AtlasFileTarget(data, size);
    return 0;
}
