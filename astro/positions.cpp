#include "astro/positions.h"

#include <chrono>

#include "astro/calendar.h"
#include "astro/planets.h"
#include "astro/universal_time.h"
#include "state/text_room.h"

namespace qv {

namespace {

// Body index of the element table behind slots 0 and 2..9 (slot 1 is the Moon).
constexpr int kSlotBody[10] = {kEarth, -1, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto};

}  // namespace

void StorePlanetLongitudes(const EngineInput& input, std::array<double, 11>& longitude) {
    using namespace std::chrono;
    const sys_seconds ut = UniversalSecond(input);
    const auto dayStart = floor<days>(ut);
    const year_month_day ymd{dayStart};
    const hh_mm_ss hms{ut - dayStart};
    const double d =
        DaysSinceJ2000(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                       static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(hms.hours().count()),
                       static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count()));
    const std::array<double, 9> lons = GeocentricLongitudes(d);
    for (std::size_t slot = 0; slot < 10; ++slot)
        if (slot != kMoonSlot) longitude[slot] = lons[static_cast<std::size_t>(kSlotBody[slot])];
}

void WritePositionTexts(ChartState& state) {
    for (std::size_t slot = 0; slot < kBodyNames.size(); ++slot) {
        WriteKeepingRoom(state.PositionName[slot], kBodyNames[slot]);
        WritePositionText(state.BodyLongitude[slot], state.PlanetPosition[slot]);
    }
}

}  // namespace qv
