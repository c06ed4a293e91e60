#include "chart/aspect_text.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/aspects.h"
#include "state/fixed_lists.h"

namespace qv {

namespace {

constexpr std::array<std::string_view, kAspectPointCount> kShortNames = {"Sun", "Moon", "Mer", "Ven", "Mars", "Jup",
                                                                         "Sat", "Ura",  "Nep", "Plu", "Asc"};

}  // namespace

std::string AspectOrbText(double orb) {
    // Minutes truncated, as every position text has them.
    const long totalMinutes = std::lround(std::floor(std::max(0.0, orb) * 60.0 + 1e-9));
    const long degrees = totalMinutes / 60, minutes = totalMinutes % 60;
    std::string text = std::to_string(degrees) + "\u00b0";
    if (minutes < 10) text += '0';
    return text + std::to_string(minutes) + "\u2032";
}

std::string_view AspectPointWords(std::size_t slot) {
    if (slot == kAscendantSlot) return "Ascendant";
    return slot < kBodyNames.size() ? kBodyNames[slot] : std::string_view();
}

std::string_view AspectPointShort(std::size_t slot) { return slot < kShortNames.size() ? kShortNames[slot] : ""; }

std::string AspectItem(const Aspect& aspect) {
    std::string item(AspectPointWords(aspect.a));
    item.append(" ").append(AspectTypeOf(aspect.kind).name).append(" ").append(AspectPointWords(aspect.b));
    item.append(", orb ").append(AspectOrbText(aspect.orb));
    item.append(aspect.applying ? ", applying" : ", separating");
    if (aspect.restsOnTime) item.append(", rests on the birth time");
    return item;
}

}  // namespace qv
