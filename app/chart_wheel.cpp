#include "app/chart_wheel.h"

#include <string_view>

#include "analysis/elements.h"
#include "astro/calendar.h"

namespace qv {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

void JoinBox(const WheelBox& box, std::string& text) {
    text.clear();
    for (const std::string& label : box.labels) text.append(kLineBreak).append(label);
    if (box.ascendant) text.append(kLineBreak).append(kBodyNames[kAscendantSlot]);
}

}  // namespace

void FillChartWheel(const ChartState& state, ChartWheel& wheel) {
    // The ascendant's and the Moon's sign names.
    if (const auto asc = SignOfAbbreviation(LastCharacters(TrimBlanks(state.AscendantText), 3))) {
        wheel.lblLagna = std::string(kSignNames[*asc]);
    }
    wheel.lblRashi = state.MoonSignName;

    // Collect the bodies per sign, in body order, and the ascendant's sign.
    for (WheelBox& box : wheel.signBoxes) {
        box.labels.clear();
        box.ascendant = false;
    }
    for (std::size_t body = 0; body < kAscendantSlot; ++body) {
        if (const auto sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[body]))) {
            wheel.signBoxes[*sign].labels.push_back(state.BodyLabel[body]);
        }
    }
    // Whole-sign houses from the ascendant's sign; without one they are laid
    // out from Aries.
    wheel.firstHouseSign = 0;
    if (const auto sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[kAscendantSlot]))) {
        wheel.signBoxes[*sign].ascendant = true;
        wheel.firstHouseSign = *sign;
    }
    JoinWheelTexts(wheel);

    // Sign pictures 1 Aries … 12 Pisces, house 1 first; kept when the
    // ascendant's position carries no listed abbreviation.
    const std::string_view ascAbbrev = AbbreviationOfPosition(state.PlanetPosition[kAscendantSlot]);
    for (int s = 0; s < 12; ++s) {
        if (!ascAbbrev.empty() && state.SignAbbrevList[s] == ascAbbrev) {
            for (int h = 0; h < 12; ++h) wheel.imgSign[h] = (s + h) % 12 + 1;
            break;
        }
    }
}

void JoinWheelTexts(ChartWheel& wheel) {
    for (std::size_t s = 0; s < 12; ++s) JoinBox(wheel.signBoxes[s], wheel.SignBoxText[s]);
    for (std::size_t h = 0; h < 12; ++h)
        wheel.lblNatal[h] = wheel.SignBoxText[(static_cast<std::size_t>(wheel.firstHouseSign) + h) % 12];
}

}  // namespace qv
