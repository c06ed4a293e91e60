// What an engine takes and gives. The built-in formulas (chart/chart_run) and
// the precise engine (ephemeris/) both take the moment and place of a birth
// as EngineInput and give EngineNumbers; the calculation driver writes the
// chart from those numbers. The core only calls a precise engine; the front
// ends hand one in, so the core needs no ephemeris library.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>

#include "state/birth_data.h"

namespace qv {

// When and where a chart is cast: the local clock time (the station tables
// go by its civil date), the offset of that clock east of UTC, and the
// place's latitude (north positive) and longitude (east positive) in
// degrees. EngineInputOf (astro/universal_time.h) makes it from the birth
// data; UniversalSecond gives its one Universal Time.
struct EngineInput {
    LocalDateTime local;
    std::int32_t utcOffsetSeconds = 0;
    double latitudeNorth = 0.0;
    double longitudeEast = 0.0;
    bool operator==(const EngineInput&) const = default;
};

// What an engine gives: the longitudes in slot order Sun, Moon, Mercury …
// Pluto, ascendant (degrees in [0, 360]) and the retrograde flags of Mercury
// … Pluto.
struct EngineNumbers {
    std::array<double, 11> longitude{};
    std::array<bool, 8> retrograde{};
};

// The numbers for one moment and place, or why there are none, in words for
// the user. May be called from several threads at once.
using PreciseEngine = std::function<std::variant<EngineNumbers, std::string>(const EngineInput&)>;

}  // namespace qv
