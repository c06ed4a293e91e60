#include "astro/universal_time.h"

#include "state/time_zones.h"

namespace qv {

EngineInput EngineInputOf(const BirthData& birth) {
    return {birth.local, ClockOffsetSeconds(birth.zoneSlot, birth.daylightSaving, birth.exactClock),
            SignedDegrees(birth.latitude), SignedDegrees(birth.longitude)};
}

// Local clock time less the offset, on the civil date. Hours.
double UniversalTimeHours(const EngineInput& input) {
    const double local = input.local.hour + input.local.minute / 60.0;
    return local - input.utcOffsetSeconds / 3600.0;
}

// Local birth moment less the offset, with calendar carry. Seconds.
std::chrono::sys_seconds UniversalSecond(const EngineInput& input) {
    using namespace std::chrono;
    const LocalDateTime& l = input.local;
    const year_month_day date{year{l.year}, month{static_cast<unsigned>(l.month)}, day{static_cast<unsigned>(l.day)}};
    return sys_days{date} + hours{l.hour} + minutes{l.minute} - seconds{input.utcOffsetSeconds};
}

std::chrono::sys_time<std::chrono::minutes> UniversalMoment(const EngineInput& input) {
    return std::chrono::floor<std::chrono::minutes>(UniversalSecond(input));
}

}  // namespace qv
