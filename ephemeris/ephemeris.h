// The chart's positions from the Swiss Ephemeris (Debian libswe with the files
// of swe-standard-data), the second engine next to the built-in formulas:
// apparent geocentric longitudes referred to the true equinox and ecliptic of
// date, the ascendant from the apparent sidereal time and the true obliquity,
// and retrograde marks from the sign of each planet's speed. Every answer is
// checked to come from the ephemeris files; nothing falls back in silence.
//
// The library keeps its state per thread (thread-local storage in Debian's
// build), so calls from several threads are independent; each thread opens
// the files on its first call and closes them when it ends.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <variant>

namespace qv {

// Folder of the ephemeris files that swe-standard-data installs.
std::string_view DefaultEphemerisFolder();

// The folders the library searches when it is given `folder`, as messages
// name them: SE_EPHE_PATH, when set, wins, and says so.
std::string SearchedEphemerisFolder(std::string_view folder);

// Julian Date of a UT moment to the second (proleptic Gregorian); a whole
// minute gives the same double as minutes / 1440 did. Days, UT.
double JulianDateUt(std::chrono::sys_seconds t);

// Ecliptic longitude on the eastern horizon, from the local apparent sidereal
// time θ, the true obliquity ε and the latitude φ (north positive), all in
// degrees: λ = atan2(cos θ, −(sin θ cos ε + tan φ sin ε)); at ±90° the limit
// as the latitude nears the pole, as the built-in formulas take it
// (AscendantAtPole). Degrees in [0, 360).
double RisingEclipticLongitude(double siderealDeg, double obliquityDeg, double latDeg);

// One chart from the ephemeris.
struct EphemerisPositions {
    // Slot order Sun, Moon, Mercury … Pluto, ascendant. Degrees in [0, 360).
    std::array<double, 11> longitude{};
    // Sun … Pluto, rate of the longitude. Degrees per day.
    std::array<double, 10> speed{};
    // Mercury … Pluto: the longitude decreasing at the moment.
    std::array<bool, 8> retrograde{};
};

// Why there are no positions, as the user reads it.
struct EphemerisFailure {
    std::string message;
};

// The chart at a UT moment (Julian Date, days) and place (degrees, latitude
// north positive, longitude east positive), read from the files in `folder`.
// The library converts UT to Terrestrial Time itself. A failure names the
// package swe-standard-data and the folder that was searched; latitudes
// beyond 90° and longitudes beyond 180° are refused, and so is a folder
// where a file the library may open (*.se1, its ΔT tables) is not an
// ordinary file (a named pipe would make it wait forever), checked before
// the calling thread's library is pointed at the folder.
[[nodiscard]] std::variant<EphemerisPositions, EphemerisFailure> ComputeEphemerisPositions(
    double jdUt, double latDeg, double lonEastDeg, std::string_view folder = DefaultEphemerisFolder());

}  // namespace qv
