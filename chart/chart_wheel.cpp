#include "chart/chart_wheel.h"

#include <string_view>

#include "state/fixed_lists.h"

namespace qv {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

void FillChartWheel(const ChartState& state, ChartWheel& wheel) {
    // The ascendant's and the Moon's sign names.
    const int ascSign = state.BodySign[kAscendantSlot];
    if (ascSign >= 0) wheel.lblLagna = FixedText::Of(kSignNames[static_cast<std::size_t>(ascSign)]);
    wheel.lblRashi = state.MoonSignName;

    // The bodies per sign. A body whose text carries no sign stands nowhere:
    // its bit goes to a thirteenth, unused box.
    std::array<std::uint16_t, 13> bodies{};
    for (std::size_t body = 0; body < kAscendantSlot; ++body) {
        const int sign = state.BodySign[body];
        bodies[sign < 0 ? 12 : static_cast<std::size_t>(sign)] |= static_cast<std::uint16_t>(1u << body);
    }
    // Whole-sign houses from the ascendant's sign; without one they are laid
    // out from Aries, and the sign pictures (1 Aries … 12 Pisces, house 1
    // first) stay as they were.
    for (std::size_t s = 0; s < 12; ++s) wheel.signBoxes[s] = WheelBox{bodies[s], static_cast<int>(s) == ascSign};
    wheel.firstHouseSign = ascSign >= 0 ? ascSign : 0;
    if (ascSign >= 0)
        for (int h = 0; h < 12; ++h) wheel.imgSign[static_cast<std::size_t>(h)] = (ascSign + h) % 12 + 1;
}

std::string BoxText(const ChartState& state, const WheelBox& box) {
    std::string text;
    ForEachLabel(state, box, [&](std::string_view label) { text.append(kLineBreak).append(label); });
    if (box.ascendant) text.append(kLineBreak).append(kBodyNames[kAscendantSlot]);
    return text;
}

}  // namespace qv
