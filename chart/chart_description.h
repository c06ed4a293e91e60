// The chart in words for a screen reader, made from the chart state as the
// display form shows it: each position as one item, and the wheel, whose
// boxes and glyphs only the eye can take in, as one description.
#pragma once

#include <cstddef>
#include <string>

#include "chart/chart_wheel.h"
#include "state/chart_state.h"

namespace qv {

// Position slot 0..10 as one item: the body's name, its position with the
// sign's name, and "retrograde" for a planet marked so: "Sun, 24 Gemini 43",
// "Mercury, 2 Capricorn 5 retrograde", "Ascendant, 9 Libra 40". A slot
// without a position text is its name alone.
std::string PositionItem(const ChartState& state, std::size_t slot);

// The wheel house by house, as its boxes show it: "Ascendant in Libra.
// House 1, Libra: Ascendant. House 2, Scorpio: Moon, Neptune retrograde.
// House 3, Sagittarius: empty. …"
std::string WheelDescription(const ChartState& state, const ChartWheel& wheel);

}  // namespace qv
