// The chart's aspects in words and short texts, for the grid, the screen
// reader and the printed page.
#pragma once

#include <string>
#include <string_view>

#include "state/chart_state.h"

namespace qv {

// An orb in whole degrees and truncated minutes: "2°21′", "0°00′".
std::string AspectOrbText(double orb);

// A point's name in words: the position name, "Ascendant" for slot 10.
std::string_view AspectPointWords(std::size_t slot);

// A point's short name for the grid's narrow cells: "Sun", "Moon", "Mer" …
// "Plu", "Asc".
std::string_view AspectPointShort(std::size_t slot);

// One aspect as a list item: "Sun trine Moon, orb 2°21′, applying", with
// ", rests on the birth time" when the birth time is not known and the
// aspect depends on it.
std::string AspectItem(const Aspect& aspect);

}  // namespace qv
