// Whole-file writes that never leave a half-written file behind, and a
// bounded reader for small files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Why nothing may be saved under `target`, or nullopt when it may. Symbolic
// links are followed to the file they name (which need not exist yet). An
// existing folder, pipe, socket or device is refused, and so is a read-only
// file: one without any write permission bit (whoever runs the program, root
// included) or one this process may not write. The sentence names `target`
// as given, e.g. "/x/a.qvn" is read-only.
[[nodiscard]] std::optional<std::string> CheckSaveTarget(const std::filesystem::path& target);

// Checks the target (CheckSaveTarget), then writes `bytes` to a temporary
// file (".qv-XXXXXX") in the folder of the file the target names, flushes it
// to disk and renames it over that file, so it holds either its old content
// or the complete new one; a symbolic link stays a link. An existing file
// keeps its permissions. Returns nullopt on success, otherwise a sentence
// naming the file and the reason (for example: Could not save "/x/a.qvn":
// Permission denied.); the temporary file is then gone.
[[nodiscard]] std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target,
                                                             std::string_view bytes);

// Lets a write beyond the process's file-size limit fail with EFBIG, so it is
// reported like any other write error instead of killing the program
// (SIGXFSZ). Each program calls it once at start.
void ReportFileSizeLimitAsError();

// The bytes of a small file, read in one go. Only an ordinary file is read
// (a named pipe or a device cannot hang the caller), and one larger than
// `maxBytes` is refused before it is read.
struct FileRead {
    std::string bytes;
    std::optional<std::string> error;  // the file could not be opened or read, or is too large
};
[[nodiscard]] FileRead ReadFileBounded(const std::filesystem::path& file, std::size_t maxBytes);

}  // namespace qv
