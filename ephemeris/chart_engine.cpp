#include "ephemeris/chart_engine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>
#include <variant>

#include "astro/ascendant.h"
#include "astro/moon.h"
#include "astro/positions.h"
#include "astro/universal_time.h"
#include "state/fixed_lists.h"

namespace qv {

namespace {

// From 1901 to 2050 the built-in formulas lie within these bounds of a sound
// ephemeris (docs/accuracy.md), the Sun to Pluto. Degrees.
constexpr double kFormulaBound[10] = {0.05, 0.1, 0.1, 0.1, 0.1, 0.3, 0.3, 0.1, 0.1, 0.1};

// A changed byte in a file the library still accepts moves a body by degrees
// or by whole signs. The Sun or a planet that the files put more than 1° from
// where a sound ephemeris would is refused: more than 1° less the formulas'
// bound from the formulas. The Moon and the ascendant are refused beyond 3°.
constexpr double kMostMovedDegrees = 1.0;
constexpr double kMostApartDegrees = 3.0;

// How far the body in a slot may lie from the formulas. Degrees.
double MostApart(std::size_t slot) {
    if (slot == kMoonSlot || slot == kAscendantSlot) return kMostApartDegrees;
    return kMostMovedDegrees - kFormulaBound[slot];
}

// The ascendant is told apart by its height over the formulas' horizon as
// well: near the polar circles a few seconds of sidereal time turn it by
// degrees, while the two engines' horizons lie within a minute of arc.
constexpr double kOffHorizonDegrees = 0.25;

double DegreesApart(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

std::string OneDecimal(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr;
    return std::string(text, end);
}

}  // namespace

std::optional<std::string> DamagedEphemerisCheck(const EngineInput& input, const EngineNumbers& precise,
                                                 std::string_view folder) {
    EngineNumbers classic;
    classic.longitude[kAscendantSlot] = AscendantOf(input);
    classic.longitude[kMoonSlot] = MoonOf(input);
    StorePlanetLongitudes(input, classic.longitude);
    for (std::size_t slot = 0; slot < classic.longitude.size(); ++slot) {
        const double apart = DegreesApart(precise.longitude[slot], classic.longitude[slot]);
        if (apart <= MostApart(slot)) continue;
        if (slot == kAscendantSlot &&
            std::fabs(EclipticAltitudeOf(input, precise.longitude[slot])) <= kOffHorizonDegrees)
            continue;
        const std::string body = slot == kAscendantSlot ? "the ascendant"
                                 : slot <= kMoonSlot    ? "the " + std::string(kBodyNames[slot])
                                                        : std::string(kBodyNames[slot]);
        return "The ephemeris files in the folder " + SearchedEphemerisFolder(folder) + " look damaged: they put " +
               body + " " + OneDecimal(apart) +
               "\u00B0 away from the built-in formulas, more than a sound ephemeris ever lies from them. "
               "Reinstall swe-standard-data, or calculate without precise positions.";
    }
    return std::nullopt;
}

PreciseEngine EphemerisEngine(std::string folder) {
    return [folder = std::move(folder)](const EngineInput& in) -> std::variant<EngineNumbers, std::string> {
        auto computed =
            ComputeEphemerisPositions(JulianDateUt(UniversalSecond(in)), in.latitudeNorth, in.longitudeEast, folder);
        if (auto* failure = std::get_if<EphemerisFailure>(&computed)) return std::move(failure->message);
        const auto& positions = std::get<EphemerisPositions>(computed);
        EngineNumbers numbers{positions.longitude, positions.retrograde};
        if (auto damaged = DamagedEphemerisCheck(in, numbers, folder)) return std::move(*damaged);
        return numbers;
    };
}

}  // namespace qv
