#include "app/chart_wheel.h"

#include <array>
#include <cstring>
#include <string_view>

#include "analysis/elements.h"
#include "astro/calendar.h"
#include "state/text_room.h"

namespace qv {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Room kept in each box's text: ten labels with their line breaks, and "Asc".
constexpr std::size_t kBoxTextRoom = 10 * (2 + 16) + 2 + 3;
constexpr std::size_t kBoxLabelRoom = 10;

char* Put(char* p, std::string_view text) {
    if (text.size() > 16) std::memcpy(p, text.data(), text.size());
    else CopyShortText(p, text.data(), text.size());
    return p + text.size();
}

// A box's text: a line break before each label and before "Asc", which
// comes last. Written into `joined` when it fits, else into `text` itself;
// returns the length.
std::size_t JoinBox(const WheelBox& box, char (&joined)[kBoxTextRoom], std::string& text) {
    const std::string_view asc = kBodyNames[kAscendantSlot];
    std::size_t length = box.ascendant ? kLineBreak.size() + asc.size() : 0;
    for (const std::string& label : box.labels) length += kLineBreak.size() + label.size();
    char* p = length <= kBoxTextRoom ? joined : TextOfLength(text, length, kBoxTextRoom);
    for (const std::string& label : box.labels) p = Put(Put(p, kLineBreak), label);
    if (box.ascendant) Put(Put(p, kLineBreak), asc);
    return length;
}

// Sign 0..11 whose abbreviation a position text carries; -1 for none.
int SignOfPosition(std::string_view positionText) {
    return SignIndexFromAbbreviation(AbbreviationOfPosition(positionText));
}

}  // namespace

void FillChartWheel(const ChartState& state, ChartWheel& wheel) {
    // The ascendant's and the Moon's sign names.
    const int lagna = SignIndexFromAbbreviation(LastCharacters(TrimBlanks(state.AscendantText), 3));
    if (lagna >= 0) WriteKeepingRoom(wheel.lblLagna, kSignNames[static_cast<std::size_t>(lagna)]);
    WriteKeepingRoom(wheel.lblRashi, state.MoonSignName);

    // The bodies per sign, in body order, written over each box's labels.
    for (WheelBox& box : wheel.signBoxes)
        if (box.labels.capacity() < kBoxLabelRoom) box.labels.reserve(kBoxLabelRoom);
    std::array<std::size_t, 12> count{};
    for (std::size_t body = 0; body < kAscendantSlot; ++body) {
        const int sign = SignOfPosition(state.PlanetPosition[body]);
        if (sign < 0) continue;
        std::vector<std::string>& labels = wheel.signBoxes[static_cast<std::size_t>(sign)].labels;
        const std::size_t k = count[static_cast<std::size_t>(sign)]++;
        if (k == labels.size()) labels.emplace_back();
        WriteKeepingRoom(labels[k], state.BodyLabel[body]);
    }
    // Whole-sign houses from the ascendant's sign; without one they are laid
    // out from Aries.
    const int ascSign = SignOfPosition(state.PlanetPosition[kAscendantSlot]);
    for (std::size_t s = 0; s < 12; ++s) {
        WheelBox& box = wheel.signBoxes[s];
        if (box.labels.size() != count[s]) box.labels.resize(count[s]);
        box.ascendant = static_cast<int>(s) == ascSign;
    }
    wheel.firstHouseSign = ascSign >= 0 ? ascSign : 0;
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
    // Each box's text goes to its sign's box and to its house's.
    for (std::size_t s = 0; s < 12; ++s) {
        std::string& signText = wheel.SignBoxText[s];
        std::string& houseText = wheel.lblNatal[(s + 12 - static_cast<std::size_t>(wheel.firstHouseSign) % 12) % 12];
        char joined[kBoxTextRoom];
        const std::size_t length = JoinBox(wheel.signBoxes[s], joined, signText);
        if (length <= kBoxTextRoom) WriteKeepingRoom(signText, std::string_view(joined, length), kBoxTextRoom);
        WriteKeepingRoom(houseText, signText, kBoxTextRoom);
    }
}

}  // namespace qv
