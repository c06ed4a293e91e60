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

// The local civil moment; nothing when it is no valid date and time.
std::optional<local_time<minutes>> CivilMoment(const LocalDateTime& l) {
    if (l.month < 1 || l.month > 12 || l.day < 1 || l.day > 31 || l.hour < 0 || l.hour > 23 || l.minute < 0 ||
        l.minute > 59) {
        return std::nullopt;
    }
    const year_month_day date{year{l.year}, month{static_cast<unsigned>(l.month)}, day{static_cast<unsigned>(l.day)}};
    if (!date.ok()) return std::nullopt;
    return local_days{date} + hours{l.hour} + minutes{l.minute};
}

}  // namespace

std::array<bool, 8> RetrogradeFlagsOn(const LocalDateTime& local) {
    const auto birth = CivilMoment(local);
    const unsigned planets = birth ? RetrogradePlanets(*birth) : 0u;
    std::array<bool, 8> flags{};
    for (std::size_t f = 0; f < kStationPlanetCount; ++f) flags[f] = (planets >> f & 1u) != 0;
    return flags;
}

void WriteBodyLabels(ChartState& state) {
    static constexpr auto kLabels = MarkedLabels();
    for (std::size_t slot = 0; slot < kBodyNames.size(); ++slot) {
        const bool marked = slot >= kFirstPlanetLabel && slot < kFirstPlanetLabel + kStationPlanetCount &&
                            state.RetrogradeFlag[slot - kFirstPlanetLabel];
        state.BodyLabel[slot] = FixedText::Of(marked ? kLabels[slot].view() : kBodyNames[slot]);
    }
}

}  // namespace qv
