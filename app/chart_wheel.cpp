#include "app/chart_wheel.h"

#include <array>
#include <string_view>

#include "analysis/elements.h"
#include "astro/calendar.h"

namespace qv {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

void FillChartWheel(const ChartState& state, ChartWheel& wheel) {
    // The ascendant's and the Moon's sign names.
    if (const auto asc = SignOfAbbreviation(LastCharacters(TrimBlanks(state.AscendantText), 3))) {
        wheel.lblLagna = std::string(kSignNames[*asc]);
    }
    wheel.lblRashi = state.MoonSignName;

    // Collect the bodies per sign, in body order, the ascendant last.
    std::array<std::string, 12> signBox{};
    for (int body = 0; body < 10; ++body) {
        if (const auto sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[body]))) {
            signBox[*sign].append(kLineBreak).append(state.BodyLabel[body]);
        }
    }
    if (const auto sign = SignOfAbbreviation(AbbreviationOfPosition(state.PlanetPosition[10]))) {
        signBox[*sign].append(kLineBreak).append("Asc");
    }
    wheel.SignBoxText = signBox;

    // Whole-sign houses from the first box holding the ascendant. Without
    // one the houses are laid out from Aries.
    int ascBox = 0;
    for (int s = 0; s < 12; ++s) {
        if (wheel.SignBoxText[s].find("Asc") != std::string::npos) {
            ascBox = s;
            break;
        }
    }
    for (int h = 0; h < 12; ++h) wheel.lblNatal[h] = wheel.SignBoxText[(ascBox + h) % 12];

    // Sign pictures 1 Aries … 12 Pisces, house 1 first; kept when the
    // ascendant's position carries no listed abbreviation.
    const std::string_view ascAbbrev = AbbreviationOfPosition(state.PlanetPosition[10]);
    for (int s = 0; s < 12; ++s) {
        if (!ascAbbrev.empty() && state.SignAbbrevList[s] == ascAbbrev) {
            for (int h = 0; h < 12; ++h) wheel.imgSign[h] = (s + h) % 12 + 1;
            break;
        }
    }
}

}  // namespace qv
