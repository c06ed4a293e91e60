// Command-line options of quorvane-report: a pure function from the argument
// vector to either the options or the message that refuses them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "chart/birth_form.h"
#include "cli/atlas_input.h"
#include "formats/picture_format.h"

namespace qv::report {

enum class OutputFormat { Json, Text };

struct ReportOptions {
    bool help = false;      // print the usage and nothing else
    bool version = false;   // print the version and nothing else
    bool stations = false;  // print the built-in station tables and nothing else
    BirthFormData form;     // the birth data as the form would hold it
    // --place: the place to find and what was given with it; Run asks the
    // atlas for the rest of the form and checks it as the form does.
    std::optional<PlaceRequest> place;
    std::string findPlace;       // --find-place: print the atlas's matches and nothing else
    std::size_t findLimit = 10;  // --limit: most matches --find-place prints
    OutputFormat format = OutputFormat::Json;
    std::string readingFile;                  // --reading: birth data from this file (form unset here)
    std::string saveReadingFile;              // --save-reading: also write the reading here
    std::string batchFile;                    // --batch: one chart per row of this CSV ("-": standard input)
    int jobs = 1;                             // --jobs: worker threads for --batch
    bool precise = false;                     // --precise: positions from the ephemeris
    bool timeWindow = false;                  // --time-window: "time_window" in the JSON
    std::string pictureFile;                  // --picture: also draw the chart to this PNG, SVG or JPEG file
    int pictureWidth = kDefaultPictureWidth;  // --width: the picture's width in pixels
    bool aspects = false;  // --aspects: "aspects" in the batch's lines (a single chart always has them)
};

// A refused command line: the message for stderr.
struct OptionError {
    std::string message;
};

// Options and their checks. On success the form passes ValidateInput, so the
// chart can be calculated as it stands; with readingFile or place set the form
// is left as it starts, for Run to fill from the file or the atlas and check.
[[nodiscard]] std::variant<ReportOptions, OptionError> ParseReportOptions(const std::vector<std::string>& args);

// The text printed by --help.
std::string ReportUsage();

}  // namespace qv::report
