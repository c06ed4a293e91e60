#include "chart/chart_description.h"

#include "astro/calendar.h"
#include "state/fixed_lists.h"
#include "state/text.h"

namespace qv {

namespace {

constexpr std::string_view kAscendant = "Ascendant";

// Whether body slot `slot` (Mercury … Pluto) is marked retrograde.
bool Retrograde(const ChartState& state, std::size_t slot) {
    return slot >= 2 && slot <= 9 && state.RetrogradeFlag[slot - 2];
}

// A body as it is said: its name, and "retrograde" when it is marked so.
std::string Spoken(const ChartState& state, std::size_t slot) {
    std::string words(slot == kAscendantSlot ? kAscendant : kBodyNames[slot]);
    if (Retrograde(state, slot)) words += " retrograde";
    return words;
}

}  // namespace

std::string PositionItem(const ChartState& state, std::size_t slot) {
    if (slot > kAscendantSlot) return {};
    std::string item(slot == kAscendantSlot ? kAscendant : kBodyNames[slot]);
    const std::string_view text = TrimBlanks(state.PlanetPosition[slot]);
    if (text.empty()) return item;  // no chart yet
    item += ", ";
    const int sign = state.BodySign[slot];
    if (sign < 0) {
        item += text;  // a longitude whose text names no sign: the text as it stands
    } else {
        // The degrees and minutes the position text shows, without leading zeros.
        const LongitudeParts parts = LongitudePartsOf(state.BodyLongitude[slot]);
        item.append(std::to_string(static_cast<int>(parts.degrees)))
            .append(" ")
            .append(kSignNames[static_cast<std::size_t>(sign)])
            .append(" ")
            .append(std::to_string(static_cast<int>(parts.minutes)));
    }
    if (Retrograde(state, slot)) item += " retrograde";
    return item;
}

std::string WheelDescription(const ChartState& state, const ChartWheel& wheel) {
    std::string out;
    if (!wheel.lblLagna.empty()) out.append("Ascendant in ").append(wheel.lblLagna.view()).append(". ");
    for (int h = 0; h < 12; ++h) {
        const WheelBox& box = wheel.houseBox(h);
        const std::size_t sign = static_cast<std::size_t>((wheel.firstHouseSign + h) % 12);
        out.append("House ").append(std::to_string(h + 1)).append(", ").append(kSignNames[sign]).append(": ");
        bool first = true;
        auto add = [&](std::string_view words) {
            if (!first) out += ", ";
            out += words;
            first = false;
        };
        for (std::size_t body = 0; body < kAscendantSlot; ++body)
            if (box.holds(body)) add(Spoken(state, body));
        if (box.ascendant) add(kAscendant);
        if (first) out += "empty";
        out += h < 11 ? ". " : ".";
    }
    return out;
}

}  // namespace qv
