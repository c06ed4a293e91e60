// The chart wheel's content: the bodies standing in each sign, the houses
// laid out from the ascendant's sign (whole-sign houses), the glyph of each
// house, and the display texts joined once from the lists.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "state/chart_state.h"

namespace qv {

// One sign's box: the labels of the bodies standing in the sign, in body
// order (Sun … Pluto), and whether the ascendant stands there too.
struct WheelBox {
    std::vector<std::string> labels;
    bool ascendant = false;
    bool operator==(const WheelBox&) const = default;
};

struct ChartWheel {
    std::array<WheelBox, 12> signBoxes{};  // sign s = 0 Aries … 11 Pisces
    int firstHouseSign = 0;                // sign 0..11 of house 1: the ascendant's, else Aries
    // The boxes' display texts: a line break (CR LF) before each label and
    // before "Asc", which comes last; an empty box has an empty text.
    std::array<std::string, 12> SignBoxText{};  // sign s
    std::array<std::string, 12> lblNatal{};     // house h+1
    std::array<int, 12> imgSign{};              // picture 1 Aries … 12 Pisces; 0 = none yet
    std::string lblLagna;                       // ascendant's sign name
    std::string lblRashi;                       // Moon's sign name

    // The box of house h+1 (h = 0..11).
    const WheelBox& houseBox(int h) const { return signBoxes[static_cast<std::size_t>((firstHouseSign + h) % 12)]; }
};

// Fills the wheel from the chart state. Values the rules leave alone when a
// text carries no sign (lblLagna, imgSign) keep what `wheel` held.
void FillChartWheel(const ChartState& state, ChartWheel& wheel);

// Joins SignBoxText and lblNatal from the boxes and the first house's sign.
void JoinWheelTexts(ChartWheel& wheel);

}  // namespace qv
