#include "astro/universal_time.h"

#include <cstdio>


namespace qv {

// Signed zone correction less the daylight-saving hour. Hours.
double ZoneCorrectionHours(const ChartState& state) {
    double c = state.ZoneHoursValue + state.ZoneMinutesValue / 60.0;
    if (state.DaylightSaving) c = c - 1.0;
    return c;
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

std::string FormatIsoMinute(std::chrono::sys_time<std::chrono::minutes> t) {
    using namespace std::chrono;
    const auto dayStart = floor<days>(t);
    const year_month_day ymd{dayStart};
    const hh_mm_ss hms{t - dayStart};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:00Z", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()));
    return buf;
}

}  // namespace qv
