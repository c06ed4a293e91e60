#include "cli/picture_writer.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

#ifndef QV_PICTURE_LIBRARY_DIR
#error "QV_PICTURE_LIBRARY_DIR is set by CMake: the library's folder relative to the command's"
#endif

namespace qv::report {
namespace {

// Where the library may be: beside the command in the build tree, then in
// the installed tree's private folder, found from the command's own folder.
std::vector<std::filesystem::path> LibraryCandidates() {
    std::error_code failed;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) return {};
    const std::filesystem::path folder = self.parent_path();
    return {folder / kPictureLibraryName, folder / QV_PICTURE_LIBRARY_DIR / kPictureLibraryName};
}

struct LoadedLibrary {
    WritePictureEntry entry = nullptr;
    std::string error;
};

LoadedLibrary Load() {
    LoadedLibrary loaded;
    std::string reasons;
    for (const std::filesystem::path& candidate : LibraryCandidates()) {
        std::error_code failed;
        if (!std::filesystem::is_regular_file(candidate, failed)) continue;
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            if (const char* why = ::dlerror()) reasons = why;
            continue;
        }
        // The library stays open until the command ends.
        if (void* symbol = ::dlsym(handle, kPictureEntryName)) {
            loaded.entry = reinterpret_cast<WritePictureEntry>(symbol);
            return loaded;
        }
        reasons = std::string(kPictureEntryName) + " is missing from " + candidate.string();
    }
    loaded.error = "Pictures cannot be drawn: the library " + std::string(kPictureLibraryName) +
                   (reasons.empty() ? std::string(" is not installed") : " could not be loaded (" + reasons + ")");
    return loaded;
}

}  // namespace

std::optional<std::string> WriteChartPicture(const ChartState& state, const ChartWheel& wheel, const std::string& path,
                                             int width) {
    static const LoadedLibrary library = Load();
    if (!library.entry) return library.error;
    PictureRequest request;
    request.state = &state;
    request.wheel = &wheel;
    request.path = path.c_str();
    request.width = width;
    std::string error;
    if (!library.entry(request, error)) return error.empty() ? "The picture could not be drawn" : error;
    return std::nullopt;
}

}  // namespace qv::report
