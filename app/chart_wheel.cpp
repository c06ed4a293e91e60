#include "app/chart_wheel.h"

#include <string_view>

#include "analysis/elements.h"
#include "astro/calendar.h"

namespace qv {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Room kept in each box's text: ten labels with their line breaks, and "Asc".
constexpr std::size_t kBoxTextRoom = 10 * (2 + 16) + 2 + 3;
constexpr std::size_t kBoxLabelRoom = 10;

void JoinBox(const WheelBox& box, std::string& text) {
    if (text.capacity() < kBoxTextRoom) text.reserve(kBoxTextRoom);
    text.clear();
    for (const std::string& label : box.labels) text.append(kLineBreak).append(label);
    if (box.ascendant) text.append(kLineBreak).append(kBodyNames[kAscendantSlot]);
}

// Sign 0..11 whose abbreviation a position text carries; -1 for none.
int SignOfPosition(std::string_view positionText) {
    return SignIndexFromAbbreviation(AbbreviationOfPosition(positionText));
}

}  // namespace

void FillChartWheel(const ChartState& state, ChartWheel& wheel) {
    // The ascendant's and the Moon's sign names.
    const int lagna = SignIndexFromAbbreviation(LastCharacters(TrimBlanks(state.AscendantText), 3));
    if (lagna >= 0) wheel.lblLagna.assign(kSignNames[static_cast<std::size_t>(lagna)]);
    wheel.lblRashi.assign(state.MoonSignName);

    // Collect the bodies per sign, in body order, and the ascendant's sign.
    for (WheelBox& box : wheel.signBoxes) {
        if (box.labels.capacity() < kBoxLabelRoom) box.labels.reserve(kBoxLabelRoom);
        box.labels.clear();
        box.ascendant = false;
    }
    for (std::size_t body = 0; body < kAscendantSlot; ++body) {
        const int sign = SignOfPosition(state.PlanetPosition[body]);
        if (sign >= 0) wheel.signBoxes[static_cast<std::size_t>(sign)].labels.push_back(state.BodyLabel[body]);
    }
    // Whole-sign houses from the ascendant's sign; without one they are laid
    // out from Aries.
    const int ascSign = SignOfPosition(state.PlanetPosition[kAscendantSlot]);
    wheel.firstHouseSign = 0;
    if (ascSign >= 0) {
        wheel.signBoxes[static_cast<std::size_t>(ascSign)].ascendant = true;
        wheel.firstHouseSign = ascSign;
    }
    JoinWheelTexts(wheel);

    // Sign pictures 1 Aries … 12 Pisces, house 1 first, from the first entry
    // of the sign list that the ascendant's position names; kept when none.
    const std::string_view ascAbbrev = AbbreviationOfPosition(state.PlanetPosition[kAscendantSlot]);
    for (int s = 0; s < 12; ++s) {
        if (!ascAbbrev.empty() && state.SignAbbrevList[static_cast<std::size_t>(s)] == ascAbbrev) {
            for (int h = 0; h < 12; ++h) wheel.imgSign[static_cast<std::size_t>(h)] = (s + h) % 12 + 1;
            break;
        }
    }
}

void JoinWheelTexts(ChartWheel& wheel) {
    for (std::size_t s = 0; s < 12; ++s) JoinBox(wheel.signBoxes[s], wheel.SignBoxText[s]);
    for (std::size_t h = 0; h < 12; ++h) {
        std::string& house = wheel.lblNatal[h];
        if (house.capacity() < kBoxTextRoom) house.reserve(kBoxTextRoom);
        house.assign(wheel.SignBoxText[(static_cast<std::size_t>(wheel.firstHouseSign) + h) % 12]);
    }
}

}  // namespace qv
