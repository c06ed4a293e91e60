#include "astro/positions.h"

#include <chrono>

#include "astro/calendar.h"
#include "astro/planets.h"
#include "astro/universal_time.h"

namespace qv {

namespace {

// Body index of the element table behind slots 0 and 2..9 (slot 1 is the Moon).
constexpr int kSlotBody[10] = {kEarth, -1, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto};

}  // namespace

void CalculatePositions(ChartState& state) {
    using namespace std::chrono;
    for (std::size_t slot = 0; slot < kBodyNames.size(); ++slot) state.PositionName[slot] = kBodyNames[slot];

    const sys_time<minutes> ut = UniversalMoment(state);
    const auto dayStart = floor<days>(ut);
    const year_month_day ymd{dayStart};
    const hh_mm_ss hms{ut - dayStart};
    const double d = DaysSinceJ2000(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                                    static_cast<int>(static_cast<unsigned>(ymd.day())),
                                    static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()));

    const std::array<double, 9> lons = GeocentricLongitudes(d);
    for (std::size_t slot = 0; slot < 10; ++slot) {
        if (slot == 1) continue;
        const double lon = lons[static_cast<std::size_t>(kSlotBody[slot])];
        state.PlanetPosition[slot] = FormatPosition(FormatLongitude(lon));
        state.BodyLongitude[slot] = lon;
    }
    state.PlanetPosition[1] = FormatPosition(state.MoonText);
    state.PlanetPosition[10] = FormatPosition(state.AscendantText);
}

}  // namespace qv
