// quorvane-report --batch: one chart per CSV row, one JSON line per row.
//
// The file starts with exactly the header line kBatchHeader. Rows are counted
// from 1, the first row after the header; a record whose quoted field spans
// lines is one row, and blank lines are skipped without a number. A line
// longer than 64 KiB ends the batch: the rows before it are written, then its
// error line (or, for the header, the refusal of the file). Every row gives one line on the output, in input order:
// the chart object with "row" in front, or {"row": n, "error": message} for a
// row that is refused, with the single-chart command's messages for the same
// mistakes. A bad or missing header refuses the whole file (nothing is
// written, status 2); refused rows leave the others alone (status 3).
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/birth_form.h"
#include "app/birth_values.h"
#include "tools/report/csv_reader.h"

namespace qv::report {

inline constexpr std::string_view kBatchHeader =
    "name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,lon_deg,lon_min,lon_dir,dst,city,state,country";
inline constexpr std::size_t kBatchFieldCount = 17;

// Column positions of the header.
enum BatchColumn : std::size_t {
    kColName, kColYear, kColMonth, kColDay, kColHour, kColMinute, kColZone, kColLatDeg, kColLatMin, kColLatDir,
    kColLonDeg, kColLonMin, kColLonDir, kColDst, kColCity, kColState, kColCountry
};

// Exit status when at least one row was refused.
inline constexpr int kExitSomeRowsRefused = 3;

// Most worker threads --jobs accepts.
inline constexpr int kMaxBatchJobs = 64;

// The message refusing a file whose first record is not the header; nullopt
// when it is. `found` is false for an empty file.
std::optional<std::string> CheckBatchHeader(const CsvRecord& header, bool found);

// Fills `form` from one data row, checking the fields as the single-chart
// command checks its options and then as the birth-data form checks its
// boxes. nullopt when the chart can be calculated, else the message.
std::optional<std::string> FormFromBatchRow(const CsvRecord& record, BirthFormData& form);

// The same through `values`, which is written over as a whole: a worker
// keeps one from row to row, so the texts keep their storage.
std::optional<std::string> FormFromBatchRow(const CsvRecord& record, BirthValues& values, BirthFormData& form);

struct BatchSettings {
    int jobs = 1;          // worker threads; 1 works on the calling thread
    bool progress = false; // rows done, on `err`, rewritten in place
};

// Reads the CSV from `in`, writes JSON lines to `out` and messages to `err`.
// Returns kExitOk, kExitSomeRowsRefused, kExitRefused (bad header) or
// kExitFailed (the input could not be read or the output written).
int RunBatch(std::istream& in, std::ostream& out, std::ostream& err, const BatchSettings& settings);

// RunBatch on a file, or on standard input for "-".
int RunBatchFile(const std::string& path, std::ostream& out, std::ostream& err, const BatchSettings& settings);

}  // namespace qv::report
