// The chart as a plain text file for people to read: personal data,
// positions and the element, quality and house-type results.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "state/chart_state.h"

namespace qv {

// The last line of the export of a chart whose positions come from the
// ephemeris.
inline constexpr std::string_view kEphemerisSourceLine =
    "Positions: Swiss Ephemeris (apparent geocentric, true equinox and ecliptic of date)";

// The file's bytes, UTF-8 with CR LF line ends; bytes of the name and the
// place that are not valid UTF-8 are written as U+FFFD, as in a reading.
// Separator lines are a lone CR followed by CR LF; result messages are
// written as stored, so a missing category keeps its "M-" marker and its
// embedded CR LF. A chart from the ephemeris ends in one more line,
// kEphemerisSourceLine.
std::string MakeTextExport(const ChartState& state);

// Writes the export safely (see WriteFileAtomically); a saved reading is
// never replaced by it (RefuseSavedReading). nullopt on success,
// otherwise the reason as a sentence.
[[nodiscard]] std::optional<std::string> WriteTextExport(const std::filesystem::path& file, const ChartState& state);

}  // namespace qv
