// fuzz_replay TARGET DIR: runs every file of DIR through the fuzz target
// TARGET. A fault shows as a crash (or a sanitizer report when built with
// one); an empty or missing corpus fails.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/fuzz/fuzz_targets.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_replay TARGET CORPUS_DIR\n");
        return 2;
    }
    const auto target = qv::fuzz::TargetByName(argv[1]);
    if (!target) {
        std::fprintf(stderr, "unknown fuzz target \"%s\"\n", argv[1]);
        return 2;
    }
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[2], ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    if (ec || files.empty()) {
        std::fprintf(stderr, "no corpus files in %s\n", argv[2]);
        return 1;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::printf("%s\n", file.filename().c_str());
        std::fflush(stdout);
        target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed through %s\n", files.size(), argv[1]);
    return 0;
}
