// Where the program finds its atlas file, and what it does without one: the
// file the build made or the package installed, else the user's cache, else
// a fresh file made into the cache, else the index built in memory.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/places.h"

namespace qv {

struct AtlasLocations {
    // Files made by the build or installed with the program, tried in
    // order; never written.
    std::vector<std::filesystem::path> files;
    // The folder of the user's own atlas file, made when none of `files`
    // can be used; empty when there is none.
    std::filesystem::path cacheFolder;
};

// The build tree's file (in a build made for the build tree), the installed
// one (<datadir>/quorvane/places.qvatlas), and $XDG_CACHE_HOME/quorvane
// (~/.cache/quorvane when that is not set or not an absolute path).
AtlasLocations DefaultAtlasLocations();

enum class AtlasOrigin {
    File,           // one of the files made by the build or installed
    Cache,          // the user's file, made by an earlier run
    MadeIntoCache,  // built in memory now and written to the user's file
    InMemory,       // built in memory now; no file could be written
};

struct LoadedAtlas {
    PlaceIndex index;
    AtlasOrigin origin;
    std::filesystem::path file;  // the file read or written; empty for InMemory
    // Each file passed over and why, and why the user's file could not be
    // written: one line each.
    std::string notes;
};

// The atlas for `sources` (CurrentAtlasSources): the first file of
// `where.files` that holds it, else the cache folder's, else `build()`,
// which is then written to the cache folder (made owner-only, the file
// written atomically and readable by its owner only) for the next run.
LoadedAtlas LoadAtlasFiles(const AtlasLocations& where, std::string_view sources,
                           const std::function<PlaceIndex()>& build);

// The gazetteer's index with the names of its catalogs, built in memory: what
// an atlas file holds, and the judge of the files in the tests.
PlaceIndex BuildAtlasInMemory();

}  // namespace qv
