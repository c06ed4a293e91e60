// The built-in retrograde station tables as one JSON object.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace qv::report {

// {"Mercury": [[start, end], ...], ..., "Pluto": [...]}: each planet's periods
// in order as pairs of row texts "month,day,year,hour,minute," (UT).
nlohmann::ordered_json StationsJson();

// The object as text, two-space indented, ending in a line break.
std::string StationsJsonText();

}  // namespace qv::report
