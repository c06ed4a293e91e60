// What each fuzz target does with one input. The libFuzzer programs and the
// corpus replay test call the same functions, so a saved crash stays a test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qv::fuzz {

// The bytes as a saved reading: opened as the command opens it (the one
// reading loader, then the form's checks) and, when it passes, calculated and
// written out as the chart's JSON, text export and reading.
void ReadingFileTarget(const std::uint8_t* data, std::size_t size);

// The bytes as a batch CSV file: read record by record with a small size
// limit, then run through the whole batch (on two jobs for some inputs); its
// messages must hold no raw control character.
void CsvReaderTarget(const std::uint8_t* data, std::size_t size);

// The bytes as a command line, arguments separated by NUL bytes, given to
// the option parser (and to the usage text when it asks for help); a refusal
// must hold no raw control character.
void ReportOptionsTarget(const std::uint8_t* data, std::size_t size);

// The bytes as the texts of a chart: the first eight as a double for a
// longitude (any bit pattern), the rest cut at NUL bytes into the atlas's
// place and zone, the name, the place and other texts the JSON line holds; the batch's line writer must
// write the JSON library's bytes for that chart, and for the bytes as a
// refused row's message.
void JsonLineTarget(const std::uint8_t* data, std::size_t size);

// The bytes as the file of a time zone: checked as the program checks zone
// files and, when the check passes, read by Abseil's zone reader and asked
// for the clock at local times over the years and around the zone's changes;
// every answer must hold what it claims, and messages must be free of raw
// control characters.
void ZoneFileTarget(const std::uint8_t* data, std::size_t size);

// The bytes as a place typed by a user: searched in the atlas (the first
// match's own label must find it again) and in a small index, where the
// table of word starts must find what reading every key finds.
void PlaceSearchTarget(const std::uint8_t* data, std::size_t size);

// The bytes as a translation catalog (.mo) of the gazetteer, or else as
// lines "key<TAB>name": its names indexed beside a few cities, each name
// searched; the index must agree with reading every key, and every city's
// label must find it first.
void PlaceNamesTarget(const std::uint8_t* data, std::size_t size);

// The bytes as an atlas file, its checksum made right (unless its eight
// bytes are all 0xff) so that the tables behind it are reached: read as the
// program reads the file, and when the reader takes it, its first 32 cities
// looked up by their labels and names and the places near each searched; no
// read may leave the bytes.
void AtlasFileTarget(const std::uint8_t* data, std::size_t size);

// Target by name: "reading_file", "csv_reader", "report_options", "json_line",
// "zone_file", "place_search", "place_names", "atlas_file".
using TargetFunction = void (*)(const std::uint8_t*, std::size_t);
TargetFunction TargetByName(std::string_view name);

}  // namespace qv::fuzz
