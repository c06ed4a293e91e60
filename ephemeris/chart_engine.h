// The ephemeris engine in the shape the chart driver takes it: what the front
// ends hand to RunChartCalculation when the user asks for precise positions.
#pragma once

#include <string>

#include "state/engine.h"
#include "ephemeris/ephemeris.h"

namespace qv {

// Precise positions read from the files in `folder`; safe to call from
// several threads at once.
PreciseEngine EphemerisEngine(std::string folder = std::string(DefaultEphemerisFolder()));

}  // namespace qv
