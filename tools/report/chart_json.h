// The computed chart as one JSON object.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "state/chart_state.h"

namespace qv::report {

// ascendant_text, moon_text, moon_sign, universal_time and the eleven
// positions {name, position, longitude, label, retrograde} in slot order;
// houses {house, sign, bodies} in house order, the bodies labelled as the
// house boxes show them; elements, qualities and house_types
// {name, present, message}, the message as stored ("M-" marker included).
nlohmann::ordered_json ChartJson(const ChartState& state);

// The object as text, two-space indented, ending in a line break. Invalid
// UTF-8 is replaced rather than refused.
std::string ChartJsonText(const ChartState& state);

}  // namespace qv::report
