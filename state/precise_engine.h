// A second source of the chart's numbers beside the built-in formulas. The
// core only calls it; the front ends hand in an implementation (the ephemeris
// engine in ephemeris/), so the core needs no ephemeris library.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <variant>

namespace qv {

// When and where a chart is cast, as an ephemeris takes it: the chart's one
// Universal Time, the latitude (north positive) and the longitude (east
// positive) in degrees.
struct EngineInput {
    std::chrono::sys_time<std::chrono::minutes> universal{};
    double latitudeNorth = 0.0;
    double longitudeEast = 0.0;
};

// What an engine gives: BodyLongitude (slot order Sun, Moon, Mercury … Pluto,
// ascendant; degrees in [0, 360)) and RetrogradeFlag (Mercury … Pluto).
struct EngineNumbers {
    std::array<double, 11> longitude{};
    std::array<bool, 8> retrograde{};
};

// The numbers for one moment and place, or why there are none, in words for
// the user. May be called from several threads at once.
using PreciseEngine = std::function<std::variant<EngineNumbers, std::string>(const EngineInput&)>;

}  // namespace qv
