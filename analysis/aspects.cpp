#include "analysis/aspects.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {

// What an arc's nearest multiple of 30 degrees may be: an aspect's angle
// and orb, or no aspect (an orb no arc meets). Every orb is below 15
// degrees, so the nearest multiple decides the aspect.
struct ArcSlot {
    AspectKind kind;
    double angle;
    double orb;
};
constexpr double kNoOrb = -100.0;
constexpr std::array<ArcSlot, 7> kArcSlots = {{
    {AspectKind::Conjunction, 0.0, AspectTypeOf(AspectKind::Conjunction).orb},
    {AspectKind::Conjunction, 30.0, kNoOrb},
    {AspectKind::Sextile, 60.0, AspectTypeOf(AspectKind::Sextile).orb},
    {AspectKind::Square, 90.0, AspectTypeOf(AspectKind::Square).orb},
    {AspectKind::Trine, 120.0, AspectTypeOf(AspectKind::Trine).orb},
    {AspectKind::Conjunction, 150.0, kNoOrb},
    {AspectKind::Opposition, 180.0, AspectTypeOf(AspectKind::Opposition).orb},
}};

}  // namespace

double ShorterArc(double a, double b) {
    double d = std::fabs(a - b);
    if (d >= 360.0) d = std::fmod(d, 360.0);  // never for longitudes in [0, 360]
    return std::min(d, 360.0 - d);
}

// Every pair is looked at without a branch on its arc (random arcs make such
// branches miss half the time): its entry is written at the end of the list
// and kept by counting it only when the pair is in aspect.
void FindAspects(const std::array<double, kAspectPointCount>& now, const std::array<double, kAspectPointCount>& later,
                 ChartAspects& out) {
    out.computed = true;
    std::size_t count = 0;
    for (std::size_t a = 0; a + 1 < kAspectPointCount; ++a) {
        const double widening = a <= kMoonSlot ? kLuminaryOrbWidening : 0.0;
        for (std::size_t b = a + 1; b < kAspectPointCount; ++b) {
            const double arc = ShorterArc(now[a], now[b]);
            // An arc that is no number (a longitude that is none) meets no orb.
            const std::size_t nearest = arc <= 180.0 ? static_cast<std::size_t>(arc * (1.0 / 30.0) + 0.5) : 1;
            const ArcSlot& slot = kArcSlots[nearest];
            const double orb = std::fabs(arc - slot.angle);
            const double laterOrb = std::fabs(ShorterArc(later[a], later[b]) - slot.angle);
            out.list[count] = {
                static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), slot.kind, orb, laterOrb < orb, false};
            count += orb <= slot.orb + widening ? 1 : 0;
        }
    }
    out.count = static_cast<std::uint8_t>(count);
}

void MarkAspectsOnTime(bool moonChangesSign, ChartAspects& aspects) {
    for (std::size_t k = 0; k < aspects.count; ++k) {
        Aspect& x = aspects.list[k];
        x.restsOnTime = x.b == kAscendantSlot || (moonChangesSign && (x.a == kMoonSlot || x.b == kMoonSlot));
    }
}

}  // namespace qv
