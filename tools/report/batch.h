// quorvane-report --batch: one chart per CSV row, one JSON line per row.
//
// The file starts with a header line that names its columns, in any order:
// the classic kBatchHeader, or a place column in place of zone, the latitude
// and longitude columns and dst (city, state and country may then be left
// out too); the atlas fills what a row leaves out, as --place does. Rows are counted
// from 1, the first row after the header; a record whose quoted field spans
// lines is one row, and blank lines are skipped without a number. A line
// longer than 64 KiB ends the batch: the rows before it are written, then its
// error line (or, for the header, the refusal of the file). Every row gives one line on the output, in input order:
// the chart object with "row" in front, or {"row": n, "error": message} for a
// row that is refused, with the single-chart command's messages for the same
// mistakes. A bad or missing header refuses the whole file (nothing is
// written, status 2); refused rows leave the others alone (status 3).
#pragma once

#include <array>
#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "app/birth_form.h"
#include "state/engine.h"
#include "chartview/chart_json.h"
#include "tools/report/csv_reader.h"

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
    kColPlace
};
inline constexpr std::size_t kBatchColumnCount = 18;
inline constexpr std::array<std::string_view, kBatchColumnCount> kBatchColumnNames = {
    "name",    "year",    "month",   "day",     "hour", "minute", "zone",  "lat_deg", "lat_min",
    "lat_dir", "lon_deg", "lon_min", "lon_dir", "dst",  "city",   "state", "country", "place"};

// Where the header puts each column: its field number, or kNoColumn.
inline constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);
struct BatchColumns {
    std::array<std::size_t, kBatchColumnCount> at{};
    std::size_t count = 0;  // fields in a row
    bool Has(BatchColumn c) const { return at[c] != kNoColumn; }
};

// Exit status when at least one row was refused.
inline constexpr int kExitSomeRowsRefused = 3;

// Most worker threads --jobs accepts.
inline constexpr int kMaxBatchJobs = 64;

// The columns the header names, or the message refusing the file. `found`
// is false for an empty file.
std::variant<BatchColumns, std::string> ReadBatchHeader(const CsvRecord& header, bool found);

// The birth data of one data row: the fields checked as the single-chart
// command checks its options, the form filled from them (the atlas asked
// for a row with a place), then checked as the birth-data form checks its
// boxes (CheckBirthForm). nullopt when `birth` holds the row's birth data,
// else the message. `atlas` says what the atlas gave. `form` and `birth` are
// written over as a whole: a worker keeps them from row to row, so the
// texts keep their storage.
std::optional<std::string> BirthFromBatchRow(const CsvRecord& record, const BatchColumns& columns, BirthFormData& form,
                                             BirthData& birth, AtlasUse& atlas);

struct BatchSettings {
    int jobs = 1;             // worker threads; 1 works on the calling thread
    bool progress = false;    // rows done, on `err`, rewritten in place
    PreciseEngine precise;    // when set, every chart's positions come from it
    bool timeWindow = false;  // each chart's line with "time_window" (FindTimeWindow)
    bool aspects = false;     // each chart's line with "aspects"
};

// Reads the CSV from `in`, writes JSON lines to `out` and messages to `err`.
// Returns kExitOk, kExitSomeRowsRefused, kExitRefused (bad header) or
// kExitFailed (the input could not be read or the output written).
int RunBatch(std::istream& in, std::ostream& out, std::ostream& err, const BatchSettings& settings);

// RunBatch on a file, or on standard input for "-".
int RunBatchFile(const std::string& path, std::ostream& out, std::ostream& err, const BatchSettings& settings);

}  // namespace qv::report
