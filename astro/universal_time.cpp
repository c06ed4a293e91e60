#include "astro/universal_time.h"

namespace qv {

// Signed zone correction less the daylight-saving hour. Hours.
double ZoneCorrectionHours(const ChartState& state) {
    double c = state.ZoneHoursValue + state.ZoneMinutesValue / 60.0;
    if (state.DaylightSaving) c = c - 1.0;
    return c;
}

// Minus the zone correction, the daylight-saving hour included. Minutes.
int UtcOffsetMinutes(const ChartState& state) {
    return -(state.ZoneHoursValue * 60 + state.ZoneMinutesValue) + (state.DaylightSaving ? 60 : 0);
}

namespace {

// Degrees and minutes as signed degrees, +0.0 turning a negative zero positive.
double SignedDegrees(int degrees, int minutes, bool negative) {
    const double value = degrees + minutes / 60.0;
    return (negative ? -value : value) + 0.0;
}

}  // namespace

double LatitudeNorth(const ChartState& state) {
    return SignedDegrees(state.LatDegrees, state.LatMinutes, state.LatSouth);
}

double LongitudeEast(const ChartState& state) {
    return SignedDegrees(state.LonDegrees, state.LonMinutes, !state.LonEast);
}

// Local clock time plus the zone correction, on the civil date. Hours.
double UniversalTimeHours(const ChartState& state) {
    const double local = state.BirthHour + state.BirthMinute / 60.0;
    return local + ZoneCorrectionHours(state);
}

// Local birth moment advanced by the zone correction with calendar carry. Minutes.
std::chrono::sys_time<std::chrono::minutes> UniversalMoment(const ChartState& state) {
    using namespace std::chrono;
    const year_month_day date{year{state.BirthYear}, month{static_cast<unsigned>(state.BirthMonth)},
                              day{static_cast<unsigned>(state.BirthDay)}};
    sys_time<minutes> t = sys_days{date} + hours{state.BirthHour} + minutes{state.BirthMinute};
    t += hours{state.ZoneHoursValue};
    t += minutes{state.ZoneMinutesValue};
    if (state.DaylightSaving) t -= hours{1};
    return t;
}

}  // namespace qv
