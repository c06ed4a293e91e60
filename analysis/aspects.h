// The aspects of a chart: the pairs of points (the Sun, the Moon, Mercury …
// Pluto and the ascendant) whose shorter arc lies within an orb of one of
// the five angles of kAspectTable.
#pragma once

#include <array>
#include <string_view>

#include "state/chart_state.h"
#include "state/fixed_lists.h"

namespace qv {

// One kind of aspect: its name, exact angle and orb, all in degrees.
struct AspectType {
    AspectKind kind;
    std::string_view name;
    int angle;
    double orb;
};

// The one table of aspects and orbs, by AspectKind.
inline constexpr std::array<AspectType, 5> kAspectTable = {{
    {AspectKind::Conjunction, "conjunction", 0, 8.0},
    {AspectKind::Sextile, "sextile", 60, 5.0},
    {AspectKind::Square, "square", 90, 7.0},
    {AspectKind::Trine, "trine", 120, 7.0},
    {AspectKind::Opposition, "opposition", 180, 8.0},
}};

// Added to every orb when the Sun or the Moon is one of the pair. Degrees.
inline constexpr double kLuminaryOrbWidening = 2.0;

constexpr const AspectType& AspectTypeOf(AspectKind kind) { return kAspectTable[static_cast<std::size_t>(kind)]; }

// The orb of `kind` for the pair of slots a and b (0 Sun, 1 Moon). Degrees.
constexpr double AspectOrb(AspectKind kind, std::size_t a, std::size_t b) {
    return AspectTypeOf(kind).orb + (a <= kMoonSlot || b <= kMoonSlot ? kLuminaryOrbWidening : 0.0);
}

// The shorter arc between two longitudes, degrees in [0, 180].
double ShorterArc(double a, double b);

// Writes the aspects of the eleven longitudes `now` into `out` (computed
// set, list in pair order). Each is applying when its orb in `later` (the
// same points one minute later, by the same engine) is smaller. The
// rests-on-time marks are cleared; MarkAspectsOnTime sets them.
void FindAspects(const std::array<double, kAspectPointCount>& now, const std::array<double, kAspectPointCount>& later,
                 ChartAspects& out);

// Marks the aspects that rest on a birth time not known: those of the
// ascendant, and those of the Moon when `moonChangesSign` (the Moon is in
// another sign at the start or the end of the birth day).
void MarkAspectsOnTime(bool moonChangesSign, ChartAspects& aspects);

}  // namespace qv
