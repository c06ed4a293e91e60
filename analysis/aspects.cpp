#include "analysis/aspects.h"

#include <cmath>

namespace qv {

namespace {

// The aspect whose angle is nearest an arc, by its multiple of 30 degrees
// (every orb is below 15 degrees, so no other aspect can hold the arc);
// -1 for the multiples no aspect has.
constexpr std::array<int, 7> kKindByThirty = {0, -1, 1, 2, 3, -1, 4};

// The aspect the arc makes, with its orb, or false.
bool AspectOfArc(double arc, std::size_t a, std::size_t b, AspectKind& kind, double& orb) {
    if (!(arc >= 0.0 && arc <= 180.0)) return false;  // a longitude that is no number
    const int k = kKindByThirty[static_cast<std::size_t>(std::lround(arc / 30.0))];
    if (k < 0) return false;
    kind = static_cast<AspectKind>(k);
    orb = std::fabs(arc - AspectTypeOf(kind).angle);
    return orb <= AspectOrb(kind, a, b);
}

}  // namespace

double ShorterArc(double a, double b) {
    double d = std::fabs(a - b);
    if (d >= 360.0) d = std::fmod(d, 360.0);  // never for longitudes in [0, 360]
    return d > 180.0 ? 360.0 - d : d;
}

void FindAspects(const std::array<double, kAspectPointCount>& now, const std::array<double, kAspectPointCount>& later,
                 ChartAspects& out) {
    out.computed = true;
    std::uint8_t count = 0;
    for (std::size_t a = 0; a + 1 < kAspectPointCount; ++a) {
        for (std::size_t b = a + 1; b < kAspectPointCount; ++b) {
            AspectKind kind;
            double orb;
            if (!AspectOfArc(ShorterArc(now[a], now[b]), a, b, kind, orb)) continue;
            const double laterOrb = std::fabs(ShorterArc(later[a], later[b]) - AspectTypeOf(kind).angle);
            out.list[count++] = {
                static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), kind, orb, laterOrb < orb, false};
        }
    }
    out.count = count;
}

void MarkAspectsOnTime(bool moonChangesSign, ChartAspects& aspects) {
    for (std::size_t k = 0; k < aspects.count; ++k) {
        Aspect& x = aspects.list[k];
        x.restsOnTime = x.b == kAscendantSlot || (moonChangesSign && (x.a == kMoonSlot || x.b == kMoonSlot));
    }
}

}  // namespace qv
