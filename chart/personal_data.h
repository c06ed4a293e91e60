// The eight personal-data lines of the display form.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "state/chart_state.h"
#include "state/fixed_lists.h"

namespace qv {

struct PersonalDataLabels {
    std::string lblName, lblCity, lblState, lblCountry;
    std::string lblDOB, lblTOB, lblLatitude, lblLongitude;
    bool operator==(const PersonalDataLabels&) const = default;
};

// Where the personal lines go. The text export keeps its blank after
// " Minute" on the time and coordinate lines, as it always wrote them.
enum class PersonalLinesFor : std::uint8_t { Display, TextExport };

// The one writer of the personal lines: the display form's labels (which
// the screen reader and the printed page read) and the text export's
// first eight lines. A birth time not known reads "Time of Birth: unknown
// (12:00)" in both. Bytes of the texts that are not UTF-8 become U+FFFD.
PersonalDataLabels MakePersonalDataLabels(const ChartState& state, PersonalLinesFor use = PersonalLinesFor::Display);

// The eight lines in the order the display form and the export write them:
// name, date, time, latitude, longitude, city, state, country.
std::array<std::string, 8> PersonalDataLines(const ChartState& state, PersonalLinesFor use);

}  // namespace qv
