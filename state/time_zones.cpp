#include "state/time_zones.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "state/text_room.h"

namespace qv {

namespace {

// A row's correction as the table's texts show it: "9", "-10", "-30", "0".
struct CorrectionText {
    std::array<char, 4> chars{};
    std::size_t size = 0;
    constexpr std::string_view view() const { return {chars.data(), size}; }
};

constexpr CorrectionText TextOf(int value) {
    CorrectionText t;
    if (value < 0) t.chars[t.size++] = '-';
    const int magnitude = value < 0 ? -value : value;
    if (magnitude >= 10) t.chars[t.size++] = static_cast<char>('0' + magnitude / 10);
    t.chars[t.size++] = static_cast<char>('0' + magnitude % 10);
    return t;
}

// Each row's hours and minutes as texts, made by the compiler.
constexpr auto kCorrectionTexts = [] {
    std::array<std::array<CorrectionText, 2>, kTimeZoneCount> texts{};
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = {TextOf(kTimeZoneRows[i].hours), TextOf(kTimeZoneRows[i].minutes)};
    return texts;
}();

// Writing the table again over itself only writes the slots that differ.
void Reload(std::string& slot, std::string_view text) {
    if (slot != text) slot.assign(text);
}

}  // namespace

void LoadTimeZones(ChartState& state) {
    for (std::size_t i = 0; i < kTimeZoneRows.size(); ++i) {
        Reload(state.TimeZoneName[i], kTimeZoneRows[i].name);
        Reload(state.TimeZoneHours[i], kCorrectionTexts[i][0].view());
        Reload(state.TimeZoneMinutes[i], kCorrectionTexts[i][1].view());
    }
}

int NearestZoneSlot(std::int32_t offsetSeconds) {
    int best = 0;
    std::int64_t bestDistance = -1;
    bool bestStandard = false;
    for (int i = 0; i < kTimeZoneCount; ++i) {
        const std::int64_t distance = std::abs(std::int64_t{ZoneOffsetSeconds(i, false)} - offsetSeconds);
        const bool standard = kTimeZoneRows[static_cast<std::size_t>(i)].kind == ZoneKind::Standard;
        if (bestDistance < 0 || distance < bestDistance || (distance == bestDistance && standard && !bestStandard))
            best = i, bestDistance = distance, bestStandard = standard;
    }
    return best;
}

void StoreZone(ChartState& state, int slot) {
    if (!IsTimeZoneSlot(slot)) return;
    const auto i = static_cast<std::size_t>(slot);
    state.ZoneSlot = static_cast<std::int16_t>(slot);
    WriteKeepingRoom(state.ZoneHoursText, kCorrectionTexts[i][0].view());
    WriteKeepingRoom(state.ZoneMinutesText, kCorrectionTexts[i][1].view());
    state.ZoneHoursValue = kTimeZoneRows[i].hours;
    state.ZoneMinutesValue = kTimeZoneRows[i].minutes;
    state.ZoneHoursAbs = static_cast<std::int16_t>(std::abs(state.ZoneHoursValue));
    state.ZoneMinutesAbs = static_cast<std::int16_t>(std::abs(state.ZoneMinutesValue));
}

}  // namespace qv
