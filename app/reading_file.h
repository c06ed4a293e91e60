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
#include <variant>

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

// True when the file name ends in exactly "qvn" (case counts), the first
// check made when a reading is opened.
bool HasReadingExtension(const std::filesystem::path& file);

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

// What a saved reading puts back into the birth-data form. A short file
// lacks its last lines: a number of a missing line is absent (its list keeps
// its selection), a text is empty and a flag false.
struct ReadingValues {
    std::string name;
    std::optional<int> month, day, year, hour, minute, zoneSlot;
    std::string lonDegrees, lonMinutes, latDegrees, latMinutes;
    bool lonEast = false, latSouth = false, daylightSaving = false;
    std::string city, state, country;
    bool operator==(const ReadingValues&) const = default;
};

// A reading refused as a whole, and why, in words for the user.
struct ReadingRefusal {
    std::string message;
};

// Opens a saved reading; the desktop program and the command both go
// through here, so the same file gets the same answer. Refused are:
// - a name that does not end in "qvn": "Please Check The File.";
// - a file that cannot be read, with the reason;
// - a file without a byte of birth data: The reading "x.qvn" is empty: it
//   holds no birth data.
// - a number line (month, day, year, hour, minute, time zone) that is not a
//   whole number of its list as the writer writes it, or a True/False line
//   holding anything else: The reading "x.qvn" is damaged: line 4 (year)
//   holds "1850". Lines count from 1; the file goes by its name without the
//   folder; names and contents are quoted as QuoteUserText quotes them.
// Texts are taken as they stand, except that bytes which are not valid UTF-8
// become U+FFFD.
std::variant<ReadingValues, ReadingRefusal> LoadReading(const std::filesystem::path& file);

// Puts the values into the form: texts into their boxes, numbers select
// their items (an absent one leaves the selection), East, South and the
// daylight-saving box as the flags say.
void RestoreFormFromReading(const ReadingValues& values, BirthFormData& form);

// A reading opened as the command opens it: into `form`, then the form's
// checks. nullopt when the chart can be calculated, else the refusal or the
// first failed check's message.
std::optional<std::string> ReadingIntoForm(const std::filesystem::path& file, BirthFormData& form);

}  // namespace qv
