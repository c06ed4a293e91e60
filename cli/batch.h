// quorvane-report --batch: one chart per CSV row, one JSON line per row; the
// rows are read as batch_rows.h says, here turned into lines on one thread or
// several.
//
// Rows are counted from 1, the first row after the header; a record whose
// quoted field spans lines is one row, and blank lines are skipped without a
// number. A line longer than 64 KiB ends the batch: the rows before it are
// written, then its error line (or, for the header, the refusal of the file).
// Every row gives one line on the output, in input order: the chart object
// with "row" in front, or {"row": n, "error": message} for a row that is
// refused. A bad or missing header refuses the whole file (nothing is
// written, status 2); refused rows leave the others alone (status 3).
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "cli/batch_rows.h"
#include "formats/picture_format.h"
#include "state/engine.h"

namespace qv::report {

// Exit status when at least one row was refused.
inline constexpr int kExitSomeRowsRefused = 3;

// Most worker threads --jobs accepts.
inline constexpr int kMaxBatchJobs = 64;

// Draws the picture of a calculated chart to a file `width` pixels wide;
// nullopt when written, else the message (WriteChartPicture of --picture).
using BatchPictureWriter = std::optional<std::string> (*)(const ChartState& state, const ChartWheel& wheel,
                                                          const std::string& path, int width);

struct BatchSettings {
    int jobs = 1;             // worker threads; 1 works on the calling thread
    bool progress = false;    // rows done, on `err`, rewritten in place
    PreciseEngine precise;    // when set, every chart's positions come from it
    bool timeWindow = false;  // each chart's line with "time_window" (FindTimeWindow)
    // The picture column: each row's file drawn by `picture` on the calling
    // thread, the rows one at a time; without `picture` a row naming a file
    // is refused.
    BatchPictureWriter picture = nullptr;
    int pictureWidth = kDefaultPictureWidth;
    bool aspects = false;  // each chart's line with "aspects"
};

// Reads the CSV from `in`, writes JSON lines to `out` and messages to `err`.
// Returns kExitOk, kExitSomeRowsRefused, kExitRefused (bad header) or
// kExitFailed (the input could not be read or the output written).
int RunBatch(std::istream& in, std::ostream& out, std::ostream& err, const BatchSettings& settings);

// RunBatch on a file, or on standard input for "-".
int RunBatchFile(const std::string& path, std::ostream& out, std::ostream& err, const BatchSettings& settings);

}  // namespace qv::report
