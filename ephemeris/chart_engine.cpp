#include "ephemeris/chart_engine.h"

#include <utility>
#include <variant>

#include "astro/universal_time.h"

namespace qv {

PreciseEngine EphemerisEngine(std::string folder) {
    return [folder = std::move(folder)](const EngineInput& in) -> std::variant<EngineNumbers, std::string> {
        auto computed =
            ComputeEphemerisPositions(JulianDateUt(UniversalMoment(in)), in.latitudeNorth, in.longitudeEast, folder);
        if (auto* failure = std::get_if<EphemerisFailure>(&computed)) return std::move(failure->message);
        const auto& positions = std::get<EphemerisPositions>(computed);
        return EngineNumbers{positions.longitude, positions.retrograde};
    };
}

}  // namespace qv
