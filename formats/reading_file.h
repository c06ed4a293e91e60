// The saved reading: the birth data of a chart as 17 scrambled text lines.
//
// Each line is the value's text, blanks at both ends removed, as UTF-8 with
// every byte raised by kReadingFileKey modulo 256, and ended by CR LF. With
// a key of 17 only the bytes 0xF9 and 0xFC would turn into LF and CR, and
// neither ever occurs in UTF-8, so no text can break a line. For texts of
// plain ASCII this is the classic shift of each character code by the key.
//
// A chart that needs more than the seventeen lines say gets lines
// "Key=value" after them, scrambled the same way; a reading without them is
// byte for byte what it has always been. "BirthTime=Unknown" marks a birth
// whose time is not known (its hour and minute lines hold 12 and 0).
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "chart/birth_form.h"
#include "state/chart_state.h"

namespace qv {

inline constexpr int kReadingFileKey = 17;
inline constexpr std::size_t kReadingLineCount = 17;
// Longest line, in bytes without its CR LF, that a reading may hold; the
// writer refuses a longer text, the reader a longer line.
inline constexpr std::size_t kReadingMaxLineBytes = 64 * 1024;

using ReadingLines = std::array<std::string, kReadingLineCount>;

// Every byte raised by the key, modulo 256.
std::string EncodeReadingText(std::string_view text);
// Every byte lowered by the key, modulo 256.
std::string DecodeReadingText(std::string_view text);

// True when the file name ends in exactly "qvn" (case counts), the first
// check made when a reading is opened.
bool HasReadingExtension(const std::filesystem::path& file);

// The plain texts of lines 0..16: the birth data of the chart state.
ReadingLines MakeReadingLines(const ChartState& state);

// The file's bytes for a chart into `bytes`: its lines and any added lines,
// each encoded and ended by CR LF. nullopt on success, else why the chart
// cannot be saved as a reading that opens again (a text longer than
// kReadingMaxLineBytes), and `bytes` is left empty.
[[nodiscard]] std::optional<std::string> ReadingFileBytes(const ChartState& state, std::string& bytes);

// Writes the reading of the chart state safely (see WriteFileAtomically).
// nullopt on success, otherwise the reason as a sentence.
[[nodiscard]] std::optional<std::string> WriteReadingFile(const std::filesystem::path& file, const ChartState& state);

// A reading refused as a whole, and why, in words for the user.
struct ReadingRefusal {
    std::string message;
};

// Opens a saved reading into the birth-data form's contents; the desktop
// program and the command both go through here, so the same file gets the
// same answer. The texts go into their boxes as they stand (bytes that are
// not valid UTF-8 become U+FFFD), the numbers select their items, the flags
// set East, South and the daylight-saving box. Refused, with a sentence
// that names the file without its folder and quotes contents as
// QuoteUserText does (lines count from 1):
// - a name that does not end in "qvn": "Please Check The File.";
// - a file that cannot be read, is not an ordinary file or is far larger
//   than any reading, with the reason;
// - a file without a byte of birth data (…is empty: it holds no birth data.);
// - a file whose lines do not all end in CR LF, that stops before its last
//   line or in the middle of one, or whose line is longer than the limit
//   (…is incomplete: line 9 (latitude degrees) is missing.);
// - a number line (month, day, year, hour, minute, time zone) that is not a
//   whole number of its list as the writer writes it, a True/False line
//   holding anything else, or a name, city, state or country holding a
//   control character (…is damaged: line 4 (year) holds "1850".);
// - a line after the seventeen that is no added line this program knows,
//   or that repeats or comes out of order.
[[nodiscard]] std::variant<BirthFormData, ReadingRefusal> LoadReading(const std::filesystem::path& file);

// Why a file may not be written over by another output (the text export):
// it is a saved reading, by its extension (".qvn" in any case, however
// damaged) or by its content (a reading under another name). nullopt for
// any other file, and for a name no file has yet.
std::optional<std::string> RefuseSavedReading(const std::filesystem::path& file);

// The name "Save As" offers for the chart of `birthName`: the remembered
// name, unless it is another person's reading; then this person's name, as
// a reading in the same folder ("/d/Ada.qvn"), so that a click on Save does
// not replace the other person's reading.
std::string OfferedReadingName(const std::string& remembered, std::string_view birthName);

}  // namespace qv
