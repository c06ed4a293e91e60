// Whole-file writes that never leave a half-written file behind, and a
// bounded reader for small text files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Writes `bytes` to a temporary file in the target's folder, flushes it to
// disk and then renames it over `target`, so the target holds either its old
// content or the complete new one. An existing target keeps its permissions;
// a symbolic link is followed and the file it names is replaced.
// Returns nullopt on success, otherwise a sentence naming the file and the
// reason (for example: Could not save "/x/a.qvn": Permission denied.).
[[nodiscard]] std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target,
                                                             std::string_view bytes);

// Lines of a text file, read with bounds: at most `maxLines` lines, each cut
// to `maxLineBytes` bytes (the rest of an over-long line is skipped), and no
// more than maxLines × (maxLineBytes + 2) bytes read in all. A line ends at
// CR LF, a lone CR or a lone LF. Only regular files are read.
struct TextLinesRead {
    std::vector<std::string> lines;  // the lines found, without their ends
    std::optional<std::string> error;  // set when the file could not be opened or read
};
TextLinesRead ReadTextLinesBounded(const std::filesystem::path& file, std::size_t maxLines,
                                   std::size_t maxLineBytes);

}  // namespace qv
