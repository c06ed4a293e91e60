// What each fuzz target does with one input. The libFuzzer programs and the
// corpus replay test call the same functions, so a saved crash stays a test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qv::fuzz {

// The bytes as a saved reading: read back from a file, restored into the
// form, checked and, when the checks pass, calculated and written out as the
// chart's JSON and text export.
void ReadingFileTarget(const std::uint8_t* data, std::size_t size);

// The bytes as a batch CSV file: read record by record with a small size
// limit, then run through the whole batch (on two jobs for some inputs); its
// messages must hold no raw control character.
void CsvReaderTarget(const std::uint8_t* data, std::size_t size);

// The bytes as a command line, arguments separated by NUL bytes, given to
// the option parser (and to the usage text when it asks for help); a refusal
// must hold no raw control character.
void ReportOptionsTarget(const std::uint8_t* data, std::size_t size);

// Target by name: "reading_file", "csv_reader", "report_options".
using TargetFunction = void (*)(const std::uint8_t*, std::size_t);
TargetFunction TargetByName(std::string_view name);

}  // namespace qv::fuzz
