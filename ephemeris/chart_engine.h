// The ephemeris engine in the shape the chart driver takes it: what the front
// ends hand to RunChartCalculation when the user asks for precise positions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ephemeris/ephemeris.h"
#include "state/engine.h"

namespace qv {

// Why the ephemeris's numbers for `input` cannot be trusted, or nullopt: the
// Sun or a planet more than 1° from where a sound ephemeris would put it (as
// told by the built-in formulas, which stay within 0.05° to 0.3° of one from
// 1901 to 2050), the Moon more than 3° from the formulas, or an ascendant that
// far off which does not lie on the formulas' horizon either, means damaged
// files in `folder`, which the message names. The retrograde flags are not
// compared.
[[nodiscard]] std::optional<std::string> DamagedEphemerisCheck(const EngineInput& input, const EngineNumbers& precise,
                                                               std::string_view folder);

// Precise positions read from the files in `folder`, each chart checked by
// DamagedEphemerisCheck; safe to call from several threads at once.
PreciseEngine EphemerisEngine(std::string folder = std::string(DefaultEphemerisFolder()));

}  // namespace qv
