#include "chartview/chart_description.h"

#include "analysis/elements.h"
#include "astro/calendar.h"
#include "state/fixed_lists.h"
#include "state/text.h"

namespace qv {

namespace {

constexpr std::string_view kRetrogradeMark = "(R)";
constexpr std::string_view kAscendant = "Ascendant";

// True for a body label that carries the retrograde mark ("Neptune (R) ").
bool MarkedRetrograde(std::string_view label) { return TrimBlanks(label).ends_with(kRetrogradeMark); }

// A body's label as the wheel shows it ("Neptune (R) "), in words
// ("Neptune retrograde").
std::string SpokenLabel(std::string_view label) {
    std::string_view name = TrimBlanks(label);
    if (!MarkedRetrograde(name)) return std::string(name);
    return std::string(TrimBlanks(name.substr(0, name.size() - kRetrogradeMark.size()))) + " retrograde";
}

// "05" -> "5": a number as it is said, without its leading zero.
std::string_view Unpadded(std::string_view digits) {
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    return digits;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string PositionItem(const ChartState& state, std::size_t slot) {
    if (slot > kAscendantSlot) return {};
    std::string item(slot == kAscendantSlot ? kAscendant : std::string_view(kBodyNames[slot]));
    const std::string_view text = TrimBlanks(state.PlanetPosition[slot]);
    if (text.empty()) return item;
    // "24 Gem 43": degrees, the sign's abbreviation, minutes.
    const std::string_view sign = SignNameFromAbbreviation(AbbreviationOfPosition(text));
    const std::string_view degrees = text.substr(0, 2);
    const std::string_view minutes = text.size() >= 9 ? text.substr(7, 2) : std::string_view();
    item += ", ";
    if (sign.empty() || !AllDigits(degrees) || !AllDigits(minutes)) {
        item += text;  // not a position text: as it stands
    } else {
        item.append(Unpadded(degrees)).append(" ").append(sign).append(" ").append(Unpadded(minutes));
    }
    if (MarkedRetrograde(state.BodyLabel[slot].view())) item += " retrograde";
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
        ForEachLabel(state, box, [&](std::string_view label) { add(SpokenLabel(label)); });
        if (box.ascendant) add(kAscendant);
        if (first) out += "empty";
        out += h < 11 ? ". " : ".";
    }
    return out;
}

}  // namespace qv
