// The atlas file: the place index's tables written once and read in place
// (mapped into memory), so that a process that looks up a place neither
// reads the gazetteer nor builds its index. docs/atlas.md gives the layout.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "atlas/place_names.h"
#include "atlas/places.h"

namespace qv {

// The layout's version: a file of another version is passed over and made
// again. Raised with every change of the layout or of how the keys are made.
inline constexpr std::uint32_t kAtlasFileVersion = 1;
inline constexpr std::string_view kAtlasFileName = "places.qvatlas";

// What an atlas file is made from, one line each, as the file records it:
// the layout's version, the program's version, its fixed word lists and
// GLib's version (which spells the keys); the gazetteer library, every
// translation catalog under `catalogFolder` and the tz database's zone
// tables, each with its size and time of change. A file whose record
// differs from the system's is stale.
std::string CurrentAtlasSources(std::string_view catalogFolder = kGazetteerCatalogFolder);

// The bytes of an atlas file holding `tables` and recording `sources`.
std::string AtlasFileBytes(const place_tables::Views& tables, std::string_view sources);

// The checksum an atlas file carries of its bytes (all but its first 32).
std::uint64_t AtlasFileChecksum(std::string_view bytes);
// Where in the file the checksum is kept (8 bytes, in the machine's order).
inline constexpr std::size_t kAtlasChecksumAt = 24;

// The tables of an atlas file held in `bytes` (8-byte aligned), viewing
// those bytes; nullopt, with the reason in `problem`, for bytes that are no
// atlas file of this version and machine, whose checksum fails, that record
// other sources than `sources` (when given), or whose tables do not hold
// together. Whatever the bytes, a search of the tables returned cannot read
// outside them.
std::optional<place_tables::Views> ReadAtlasBytes(std::string_view bytes, std::optional<std::string_view> sources,
                                                  std::string& problem);

// An atlas file mapped into memory, checked as ReadAtlasBytes checks its
// bytes: its checksum is computed by reading it, not through the mapping,
// so that only the pages a search touches are brought in.
struct AtlasFileRead {
    std::optional<PlaceIndex> index;
    // Why the file cannot be used: "there is no such file", "it records
    // other sources (stale)", "it is damaged (checksum)", …
    std::string problem;
};
AtlasFileRead OpenAtlasFile(const std::filesystem::path& file, std::string_view sources);

}  // namespace qv
