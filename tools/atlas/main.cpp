// make_atlas FILE SOURCES: builds the place index from the installed
// gazetteer and its catalogs, writes it as an atlas file to FILE and the list
// of what it was made from to SOURCES, both atomically. Exit status 1 when
// either cannot be written or the file does not read back.
#include <cstdio>
#include <optional>
#include <string>

#include "atlas/atlas_file.h"
#include "atlas/atlas_load.h"
#include "state/atomic_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_atlas FILE SOURCES\n");
        return 2;
    }
    qv::ReportFileSizeLimitAsError();
    const std::string sources = qv::CurrentAtlasSources();
    const qv::PlaceIndex index = qv::BuildAtlasInMemory();
    const std::string bytes = qv::AtlasFileBytes(index.Tables(), sources);
    std::string problem;
    if (!qv::ReadAtlasBytes(bytes, sources, problem)) {
        std::fprintf(stderr, "make_atlas: the file made does not read back: %s\n", problem.c_str());
        return 1;
    }
    for (const auto& [file, text] :
         {std::pair{argv[1], std::string_view(bytes)}, std::pair{argv[2], std::string_view(sources)}}) {
        if (const std::optional<std::string> failed = qv::WriteFileAtomically(file, text)) {
            std::fprintf(stderr, "make_atlas: %s\n", failed->c_str());
            return 1;
        }
    }
    std::printf("%s: %zu cities, %zu bytes\n", argv[1], index.size(), bytes.size());
    return 0;
}
