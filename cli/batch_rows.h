// The rows of a quorvane-report --batch file: the header that names the
// columns, and one row's fields into checked birth data, with the
// single-chart command's messages for the same mistakes (batch.h runs them).
//
// The header names its columns in any order: the classic kBatchHeader, or a
// place column in place of zone, the latitude and longitude columns and dst
// (city, state and country may then be left out too); the atlas fills what
// a row leaves out, as --place does.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "chart/birth_form.h"
#include "cli/csv_reader.h"
#include "formats/chart_json.h"

namespace qv::report {

inline constexpr std::string_view kBatchHeader =
    "name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,lon_dir,dst,city,state,country";
inline constexpr std::size_t kBatchFieldCount = 17;

// The columns a batch file may have; the first 17 in the classic header's order.
enum BatchColumn : std::size_t {
    kColName,
    kColYear,
    kColMonth,
    kColDay,
    kColHour,
    kColMinute,
    kColZone,
    kColLatDeg,
    kColLatMin,
    kColLatDir,
    kColLonDeg,
    kColLonMin,
    kColLonDir,
    kColDst,
    kColCity,
    kColState,
    kColCountry,
    kColPlace,
    kColPicture  // a file to draw the row's chart to (--picture)
};
inline constexpr std::size_t kBatchColumnCount = 19;
inline constexpr std::array<std::string_view, kBatchColumnCount> kBatchColumnNames = {
    "name",    "year",    "month",   "day", "hour", "minute", "zone",    "lat_deg", "lat_min", "lat_dir",
    "lon_deg", "lon_min", "lon_dir", "dst", "city", "state",  "country", "place",   "picture"};

// Where the header puts each column: its field number, or kNoColumn.
inline constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);
struct BatchColumns {
    std::array<std::size_t, kBatchColumnCount> at{};
    std::size_t count = 0;  // fields in a row
    bool Has(BatchColumn c) const { return at[c] != kNoColumn; }
};

// The columns the header names, or the message refusing the file. `found`
// is false for an empty file.
[[nodiscard]] std::variant<BatchColumns, std::string> ReadBatchHeader(const CsvRecord& header, bool found);

// The birth data of one data row: the fields checked as the single-chart
// command checks its options, the form filled from them (the atlas asked
// for a row with a place), then checked as the birth-data form checks its
// boxes (CheckBirthForm). nullopt when `birth` holds the row's birth data,
// else the message. `atlas` says what the atlas gave. `form` and `birth` are
// written over as a whole: a worker keeps them from row to row, so the
// texts keep their storage.
[[nodiscard]] std::optional<std::string> BirthFromBatchRow(const CsvRecord& record, const BatchColumns& columns,
                                                           BirthFormData& form, BirthData& birth, AtlasUse& atlas);

}  // namespace qv::report
