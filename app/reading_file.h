// The saved reading: the birth data of a chart as 17 scrambled text lines.
//
// Each line is the value's text, blanks at both ends removed, as UTF-8 with
// every byte raised by kReadingFileKey modulo 256, and ended by CR LF. With
// a key of 17 only the bytes 0xF9 and 0xFC would turn into LF and CR, and
// neither ever occurs in UTF-8, so no text can break a line. For texts of
// plain ASCII this is the classic shift of each character code by the key.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/birth_form.h"
#include "state/chart_state.h"

namespace qv {

inline constexpr int kReadingFileKey = 17;
inline constexpr std::size_t kReadingLineCount = 17;
// Longest line a reader keeps; anything beyond is skipped.
inline constexpr std::size_t kReadingMaxLineBytes = 64 * 1024;

using ReadingLines = std::array<std::string, kReadingLineCount>;

// Every byte raised by the key, modulo 256.
std::string EncodeReadingText(std::string_view text);
// Every byte lowered by the key, modulo 256.
std::string DecodeReadingText(std::string_view text);

// True when the file name ends in exactly "qvn" (case counts), the only check
// made before a reading is opened.
bool HasReadingExtension(std::string_view fileName);

// The plain texts of lines 0..16: birth data from the state, line 6 the
// birth-data form's time-zone slot.
ReadingLines MakeReadingLines(const ChartState& state, int zoneSlot);

// The file's bytes for those lines: each encoded and ended by CR LF.
std::string ReadingFileBytes(const ReadingLines& lines);

// Writes the reading safely (see WriteFileAtomically). nullopt on success,
// otherwise the reason as a sentence.
[[nodiscard]] std::optional<std::string> WriteReadingFile(const std::filesystem::path& file, const ChartState& state,
                                                          int zoneSlot);

// A reading as read back: decoded lines (missing ones empty).
struct ReadingFileRead {
    ReadingLines lines{};
    std::size_t linesFound = 0;        // lines present in the file, at most 17
    std::optional<std::string> error;  // the file could not be opened or read
};

// Reads at most 17 lines of at most kReadingMaxLineBytes each and decodes
// them. Never reads more than about 1.1 MB, however large the file.
ReadingFileRead ReadReadingFile(const std::filesystem::path& file);

// Puts decoded reading lines into the form, line by line:
// - texts (name, coordinates, place) go into their boxes as they stand,
//   except that bytes which are not valid UTF-8 become U+FFFD;
// - month (line 1) and time-zone slot (line 6) are whole numbers; one that
//   does not convert or names no item leaves that selection as it was;
// - day, year, hour and minute select the item whose text they equal, and
//   leave the selection as it was when no item has that text;
// - "True" on lines 11, 12, 13 selects East, South and ticks the box; any
//   other text selects West, North and unticks it.
void RestoreFormFromReading(const ReadingLines& lines, BirthFormData& form);

// Text with every byte sequence that is not valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace qv
