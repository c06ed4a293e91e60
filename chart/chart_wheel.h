// The chart wheel's content as data: which bodies stand in each sign, the
// houses laid out from the ascendant's sign (whole-sign houses) and the
// glyph of each house. The boxes' texts are joined from the chart state's
// body labels when they are shown.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>

#include "state/chart_state.h"

namespace qv {

// One sign's box: the bodies standing in the sign and whether the ascendant
// stands there too.
struct WheelBox {
    std::uint16_t bodies = 0;  // bit k: body slot k (0 Sun … 9 Pluto) stands in the sign
    bool ascendant = false;

    bool holds(std::size_t body) const { return (bodies >> body & 1u) != 0; }
    bool operator==(const WheelBox&) const = default;
};

struct ChartWheel {
    std::array<WheelBox, 12> signBoxes{};  // sign s = 0 Aries … 11 Pisces
    int firstHouseSign = 0;                // sign 0..11 of house 1: the ascendant's, else Aries
    std::array<int, 12> imgSign{};         // picture 1 Aries … 12 Pisces; 0 = none yet
    FixedText lblLagna;                    // ascendant's sign name
    FixedText lblRashi;                    // Moon's sign name

    // The box of house h+1 (h = 0..11).
    const WheelBox& houseBox(int h) const { return signBoxes[static_cast<std::size_t>((firstHouseSign + h) % 12)]; }
};

// Fills the wheel from the chart state's signs (BodySign). Values the rules
// leave alone when the ascendant has no sign (lblLagna, imgSign) keep what
// `wheel` held.
void FillChartWheel(const ChartState& state, ChartWheel& wheel);

// Calls `f(label)` for each body of `box` in body order (Sun … Pluto), with
// the body's label in `state` (BodyLabel).
template <typename F>
void ForEachLabel(const ChartState& state, const WheelBox& box, F&& f) {
    for (unsigned bodies = box.bodies & 0x3FFu; bodies != 0; bodies &= bodies - 1)
        f(state.BodyLabel[static_cast<std::size_t>(std::countr_zero(bodies))].view());
}

// A box's display text: a line break (CR LF) before each label and before
// "Asc", which comes last; an empty box has an empty text.
std::string BoxText(const ChartState& state, const WheelBox& box);

}  // namespace qv
