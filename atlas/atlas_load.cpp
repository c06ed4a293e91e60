#include "atlas/atlas_load.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "atlas/atlas_file.h"
#include "atlas/place_names.h"
#include "state/atomic_file.h"

// The build sets these; a build of the sources by other means looks where
// the package installs.
#ifndef QV_ATLAS_INSTALLED_FILE
#define QV_ATLAS_INSTALLED_FILE "/usr/share/quorvane/places.qvatlas"
#endif

namespace qv {

namespace {

// The folder and the ones above it that are missing, each made for its owner
// only. False with the reason when it cannot be made.
bool MakeOwnFolder(const std::filesystem::path& folder, std::string& problem) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        problem = "it is not a folder";
        return false;
    }
    if (folder.has_parent_path() && folder.parent_path() != folder && !MakeOwnFolder(folder.parent_path(), problem))
        return false;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = std::generic_category().message(errno);
        return false;
    }
    return true;
}

void Note(std::string& notes, const std::filesystem::path& file, std::string_view why) {
    notes += file.string() + ": " + std::string(why) + '\n';
}

}  // namespace

AtlasLocations DefaultAtlasLocations() {
    AtlasLocations where;
#ifdef QV_ATLAS_BUILD_FILE
    where.files.emplace_back(QV_ATLAS_BUILD_FILE);
#endif
    where.files.emplace_back(QV_ATLAS_INSTALLED_FILE);
    // Only an absolute path counts, as the XDG base directories have it.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cache && cache[0] == '/') {
        where.cacheFolder = std::filesystem::path(cache) / "quorvane";
    } else if (home && home[0] == '/') {
        where.cacheFolder = std::filesystem::path(home) / ".cache" / "quorvane";
    }
    return where;
}

LoadedAtlas LoadAtlasFiles(const AtlasLocations& where, std::string_view sources,
                           const std::function<PlaceIndex()>& build) {
    std::string notes;
    for (const std::filesystem::path& file : where.files) {
        AtlasFileRead read = OpenAtlasFile(file, sources);
        if (read.index) return {std::move(*read.index), AtlasOrigin::File, file, notes};
        Note(notes, file, read.problem);
    }
    std::filesystem::path cached;
    if (!where.cacheFolder.empty()) {
        cached = where.cacheFolder / kAtlasFileName;
        AtlasFileRead read = OpenAtlasFile(cached, sources);
        if (read.index) return {std::move(*read.index), AtlasOrigin::Cache, cached, notes};
        Note(notes, cached, read.problem);
    }
    PlaceIndex index = build();
    if (cached.empty()) {
        notes += "no cache folder: neither XDG_CACHE_HOME nor HOME is set\n";
        return {std::move(index), AtlasOrigin::InMemory, {}, notes};
    }
    std::string problem;
    if (!MakeOwnFolder(where.cacheFolder, problem)) {
        Note(notes, where.cacheFolder, "cannot be made (" + problem + ")");
        return {std::move(index), AtlasOrigin::InMemory, {}, notes};
    }
    if (const std::optional<std::string> failed =
            WriteFileAtomically(cached, AtlasFileBytes(index.Tables(), sources))) {
        notes += *failed + '\n';
        return {std::move(index), AtlasOrigin::InMemory, {}, notes};
    }
    ::chmod(cached.c_str(), 0600);
    return {std::move(index), AtlasOrigin::MadeIntoCache, cached, notes};
}

PlaceIndex BuildAtlasInMemory() {
    const PlaceNames names = ReadPlaceNames();
    return PlaceIndex(ReadGazetteer(), names.names);
}

}  // namespace qv
