#include "retro/retrogrades.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

#include "retro/stations.h"
#include "state/fixed_lists.h"

namespace qv {

namespace {

using namespace std::chrono;

// Planet flag f is label slot f + 2.
constexpr std::size_t kFirstPlanetLabel = 2;
constexpr std::string_view kRetrogradeMark = " (R) ";

// A body's name followed by the mark, built by the compiler.
struct MarkedLabel {
    std::array<char, 16> text{};
    std::size_t size = 0;
    constexpr std::string_view view() const { return {text.data(), size}; }
};

constexpr std::array<MarkedLabel, kBodyNames.size()> MarkedLabels() {
    std::array<MarkedLabel, kBodyNames.size()> labels{};
    for (std::size_t slot = 0; slot < kBodyNames.size(); ++slot) {
        MarkedLabel& label = labels[slot];
        for (char c : kBodyNames[slot]) label.text[label.size++] = c;
        for (char c : kRetrogradeMark) label.text[label.size++] = c;
    }
    return labels;
}

// Local civil birth moment from the state's birth fields; nothing when they
// do not form a valid date and time.
std::optional<local_time<minutes>> BirthMoment(const ChartState& state) {
    if (state.BirthMonth < 1 || state.BirthMonth > 12 || state.BirthDay < 1 || state.BirthDay > 31 ||
        state.BirthHour < 0 || state.BirthHour > 23 || state.BirthMinute < 0 || state.BirthMinute > 59) {
        return std::nullopt;
    }
    const year_month_day date{year{state.BirthYear}, month{static_cast<unsigned>(state.BirthMonth)},
                              day{static_cast<unsigned>(state.BirthDay)}};
    if (!date.ok()) return std::nullopt;
    return local_days{date} + hours{state.BirthHour} + minutes{state.BirthMinute};
}

}  // namespace

void StoreRetrogradeFlags(ChartState& state) {
    const auto birth = BirthMoment(state);
    const unsigned planets = birth ? RetrogradePlanets(*birth) : 0u;
    for (std::size_t f = 0; f < kStationPlanetCount; ++f) state.RetrogradeFlag[f] = (planets >> f & 1u) != 0;
}

void WriteBodyLabels(ChartState& state) {
    static constexpr auto kLabels = MarkedLabels();
    for (std::size_t slot = 0; slot < kBodyNames.size(); ++slot) {
        const bool marked = slot >= kFirstPlanetLabel && slot < kFirstPlanetLabel + kStationPlanetCount &&
                            state.RetrogradeFlag[slot - kFirstPlanetLabel];
        state.BodyLabel[slot] = FixedText::Of(marked ? kLabels[slot].view() : kBodyNames[slot]);
    }
}

void MarkRetrogrades(ChartState& state) {
    StoreRetrogradeFlags(state);
    WriteBodyLabels(state);
}

}  // namespace qv
