// The chart in words for a screen reader: the position items and the wheel's
// description, from the chart state as the display shows it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "astro/calendar.h"
#include "chart/birth_form.h"
#include "chart/chart_description.h"
#include "chart/chart_wheel.h"
#include "retro/retrogrades.h"

namespace qv {
namespace {

// A state whose slot `slot` stands at `longitude` (degrees; none: no chart
// yet), with `retrograde` marked as the calculation marks it.
ChartState WithPosition(std::size_t slot, std::optional<double> longitude, bool retrograde = false) {
    ChartState s;
    LoadFixedLists(s);
    if (slot >= 2 && slot <= 9) s.RetrogradeFlag[slot - 2] = retrograde;
    WriteBodyLabels(s);
    if (longitude) {
        s.BodyLongitude[slot] = *longitude;
        s.BodySign[slot] = static_cast<std::int8_t>(SignOfLongitude(*longitude));
        WritePositionText(*longitude, s.PlanetPosition[slot]);
    }
    return s;
}

struct ItemCase {
    const char* name;
    std::size_t slot;
    std::optional<double> longitude;
    bool retrograde;
    const char* item;
};

class PositionItems : public testing::TestWithParam<ItemCase> {};

TEST_P(PositionItems, SayTheBodyItsPlaceAndItsMotion) {
    const ItemCase& c = GetParam();
    EXPECT_EQ(PositionItem(WithPosition(c.slot, c.longitude, c.retrograde), c.slot), c.item);
}

INSTANTIATE_TEST_SUITE_P(Slots, PositionItems,
                         testing::Values(ItemCase{"Sun", 0, 84.72, false, "Sun, 24 Gemini 43"},
                                         ItemCase{"LeadingZerosAreNotSaid", 1, 5.12, false, "Moon, 5 Aries 7"},
                                         ItemCase{"ZeroDegreesZeroMinutes", 2, 0.0, false, "Mercury, 0 Aries 0"},
                                         ItemCase{"LastMinuteOfTheZodiac", 5, 359.9999, false, "Jupiter, 29 Pisces 59"},
                                         ItemCase{"MinutesAreCutNotRounded", 6, 30.999, false, "Saturn, 0 Taurus 59"},
                                         ItemCase{"Retrograde", 8, 282.04, true, "Neptune, 12 Capricorn 2 retrograde"},
                                         ItemCase{"AscendantByItsName", 10, 189.67, false, "Ascendant, 9 Libra 40"},
                                         ItemCase{"NoPositionYet", 3, std::nullopt, false, "Venus"},
                                         ItemCase{"ATurnNamesNoSign", 1, 360.0, false, "Moon, 00 0\" 00"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A wheel laid out by hand: Libra rising, the Moon and a retrograde
// Neptune in Scorpio, the Sun and Mercury in Aries.
TEST(WheelDescription, HouseByHouseFromTheAscendantsSign) {
    ChartState s = WithPosition(8, std::nullopt, true);
    ChartWheel wheel;
    wheel.firstHouseSign = 6;
    wheel.lblLagna = FixedText::Of(kSignNames[6]);
    wheel.signBoxes[6].ascendant = true;
    wheel.signBoxes[7].bodies = (1u << 1) | (1u << 8);
    wheel.signBoxes[0].bodies = (1u << 0) | (1u << 2);
    EXPECT_EQ(WheelDescription(s, wheel),
              "Ascendant in Libra. House 1, Libra: Ascendant. House 2, Scorpio: Moon, Neptune retrograde. "
              "House 3, Sagittarius: empty. House 4, Capricorn: empty. House 5, Aquarius: empty. "
              "House 6, Pisces: empty. House 7, Aries: Sun, Mercury. House 8, Taurus: empty. "
              "House 9, Gemini: empty. House 10, Cancer: empty. House 11, Leo: empty. House 12, Virgo: empty.");
}

}  // namespace
}  // namespace qv
