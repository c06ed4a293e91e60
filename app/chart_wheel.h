// The chart wheel's content: bodies collected per sign, rotated into
// whole-sign houses from the ascendant's sign, and the glyph of each house.
#pragma once

#include <array>
#include <string>

#include "state/chart_state.h"

namespace qv {

struct ChartWheel {
    std::array<std::string, 12> SignBoxText{};  // sign s = 0 Aries … 11 Pisces
    std::array<std::string, 12> lblNatal{};     // house h+1; lines joined by CR LF
    std::array<int, 12> imgSign{};              // picture 1 Aries … 12 Pisces; 0 = none yet
    std::string lblLagna;                       // ascendant's sign name
    std::string lblRashi;                       // Moon's sign name
};

// Fills the wheel from the chart state. Values the rules leave alone when a
// text carries no sign (lblLagna, imgSign) keep what `wheel` held.
void FillChartWheel(const ChartState& state, ChartWheel& wheel);

}  // namespace qv
