// The fixed table of 71 time zones and their corrections to Universal Time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "state/birth_data.h"
#include "state/chart_state.h"

namespace qv {

// Rows of the table, slots 0..70.
inline constexpr int kTimeZoneCount = 71;

// A daylight, summer or war time by its name, or a standard time.
enum class ZoneKind : std::uint8_t { Standard, Daylight };

// One row: the text the list shows, its abbreviation, and the correction to
// add to the local clock time for Universal Time, hours and minutes of the
// same sign.
struct TimeZoneRow {
    std::string_view name;
    std::string_view abbreviation;
    std::int16_t hours = 0, minutes = 0;
    ZoneKind kind = ZoneKind::Standard;
};

// The 71 zones in their fixed order; saved readings store the row number.
// clang-format off
inline constexpr std::array<TimeZoneRow, kTimeZoneCount> kTimeZoneRows = {{
    {"Alaska/Hawaii Daylight Time,AHDT,-9.0", "AHDT", 9, 0, ZoneKind::Daylight},
    {"Alaska/Hawaii Standard Time,AHST,-10.0", "AHST", 10, 0, ZoneKind::Standard},
    {"Alaska/Hawaii War Time,AHWT,-9.0", "AHWT", 9, 0, ZoneKind::Daylight},
    {"Atlantic Standard Time,AST,-4.0", "AST", 4, 0, ZoneKind::Standard},
    {"Atlantic War Time,AWT,-3.0", "AWT", 3, 0, ZoneKind::Daylight},
    {"Australian Central Daylight Time,ACDT,+10.5", "ACDT", -10, -30, ZoneKind::Daylight},
    {"Australian Central Standard Time,ACST,+9.5", "ACST", -9, -30, ZoneKind::Standard},
    {"Australian Eastern Daylight Time,AEDT,+11.0", "AEDT", -11, 0, ZoneKind::Daylight},
    {"Australian Eastern Standard Time,AEST,+10.0", "AEST", -10, 0, ZoneKind::Standard},
    {"Australian Western Daylight Time,AWDT,+9.0", "AWDT", -9, 0, ZoneKind::Daylight},
    {"Australian Western Standard Time,AWST,+8.0", "AWST", -8, 0, ZoneKind::Standard},
    {"Azores Time, AT, -2.0", "AT", 2, 0, ZoneKind::Standard},
    {"Baghdad Time, BAT, +3.0", "BAT", -3, 0, ZoneKind::Standard},
    {"Bering Standard Time,BET,-11.0", "BET", 11, 0, ZoneKind::Standard},
    {"Brazil Zone 2,BZT2,-3.0", "BZT2", 3, 0, ZoneKind::Standard},
    {"British Double Summer Time,BDST,+2.0", "BDST", -2, 0, ZoneKind::Daylight},
    {"British Summer Time,BST,+1.0", "BST", -1, 0, ZoneKind::Daylight},
    {"British War Time,BWT,+2.0", "BWT", -2, 0, ZoneKind::Daylight},
    {"Central Daylight Time,CDT,-5.0", "CDT", 5, 0, ZoneKind::Daylight},
    {"Central European Daylight,CED,+2.0", "CED", -2, 0, ZoneKind::Daylight},
    {"Central European Time,CET,+1.0", "CET", -1, 0, ZoneKind::Standard},
    {"Central Standard Time,CST,-6.0", "CST", 6, 0, ZoneKind::Standard},
    {"Central War Time,CWT,-5.0", "CWT", 5, 0, ZoneKind::Daylight},
    {"China Coast Time,CCT,+8.0", "CCT", -8, 0, ZoneKind::Standard},
    {"Eastern Daylight Time,EDT,-4.0", "EDT", 4, 0, ZoneKind::Daylight},
    {"Eastern European Daylight Time,EED,+3.0", "EED", -3, 0, ZoneKind::Daylight},
    {"Eastern European Time,EET,+2.0", "EET", -2, 0, ZoneKind::Standard},
    {"Eastern Standard Time,EST,-5.0", "EST", 5, 0, ZoneKind::Standard},
    {"Eastern War Time,EWT,-4.0", "EWT", 4, 0, ZoneKind::Daylight},
    {"Greenwich Mean Time,GMT,0.0", "GMT", 0, 0, ZoneKind::Standard},
    {"Guam Standard Time,GST,+10.0", "GST", -10, 0, ZoneKind::Standard},
    {"Hawaiian Daylight Time,HDT,-9.5", "HDT", 9, 30, ZoneKind::Daylight},
    {"Hawaiian Standard Time,HST,-10.5", "HST", 10, 30, ZoneKind::Standard},
    {"Hawaiian War Time,HWT,-9.5", "HWT", 9, 30, ZoneKind::Daylight},
    {"Indian Time, IST, +5.3", "IST", -5, -30, ZoneKind::Standard},
    {"Int'l Date Line East,IDLE,+12.0", "IDLE", -12, 0, ZoneKind::Standard},
    {"Int'l Date Line West,IDLW,-12.0", "IDLW", 12, 0, ZoneKind::Standard},
    {"Iran Time, IT, +3.5", "IT", -3, -30, ZoneKind::Standard},
    {"Japan Standard Time,JST,+9.0", "JST", -9, 0, ZoneKind::Standard},
    {"Java Time, JT, +7.5", "JT", -7, -30, ZoneKind::Standard},
    {"Middle European Daylight Time,MED,+2.0", "MED", -2, 0, ZoneKind::Daylight},
    {"Middle European Time,MET,+1.0", "MET", -1, 0, ZoneKind::Standard},
    {"Moluccas Time, MT, +8.5", "MT", -8, -30, ZoneKind::Standard},
    {"Mountain Daylight Time,MDT,-6.0", "MDT", 6, 0, ZoneKind::Daylight},
    {"Mountain Standard Time,MST,-7.0", "MST", 7, 0, ZoneKind::Standard},
    {"Mountain War Time,MWT,-6.0", "MWT", 6, 0, ZoneKind::Daylight},
    {"New Zealand Std Summer Time,NZST,+13.0", "NZST", -13, 0, ZoneKind::Daylight},
    {"New Zealand Std Time,NZT,+12.0", "NZT", -12, 0, ZoneKind::Standard},
    {"New Zealand Summer Time,NZS,+12.5", "NZS", -12, -30, ZoneKind::Daylight},
    {"New Zealand Time,NZ,+11.5", "NZ", -11, -30, ZoneKind::Standard},
    {"Newfoundland Standard Time,NST,-3.5", "NST", 3, 30, ZoneKind::Standard},
    {"Nome Time, NT, -11.0", "NT", 11, 0, ZoneKind::Standard},
    {"North Sumatra Time,NST,+6.5", "NST", -6, -30, ZoneKind::Standard},
    {"Pacific Daylight Time,PDT,-7.0", "PDT", 7, 0, ZoneKind::Daylight},
    {"Pacific Standard Time,PST,-8.0", "PST", 8, 0, ZoneKind::Standard},
    {"Pacific War Time,PWT,-7.0", "PWT", 7, 0, ZoneKind::Daylight},
    {"South Australia Daylight Time,SAD,+10.5", "SAD", -10, -30, ZoneKind::Daylight},
    {"South Australia Daylight Time,SDT,+10.5", "SDT", -10, -30, ZoneKind::Daylight},
    {"South Australia Standard Time,SAST,+9.5", "SAST", -9, -30, ZoneKind::Standard},
    {"South Australia Standard Time,SAT,+9.5", "SAT", -9, -30, ZoneKind::Standard},
    {"South Sumatra Time,SST,+7.0", "SST", -7, 0, ZoneKind::Standard},
    {"Universal Time, UT, 0.0", "UT", 0, 0, ZoneKind::Standard},
    {"USSR Zone 10,UZ10,+11.0", "UZ10", -11, 0, ZoneKind::Standard},
    {"USSR Zone 3,USZ3,+4.0", "USZ3", -4, 0, ZoneKind::Standard},
    {"USSR Zone 4,USZ4,+5.0", "USZ4", -5, 0, ZoneKind::Standard},
    {"USSR Zone 5,USZ5,+6.0", "USZ5", -6, 0, ZoneKind::Standard},
    {"USSR Zone 6,USZ6,+7.0", "USZ6", -7, 0, ZoneKind::Standard},
    {"West Africa Time,WAT,-1.0", "WAT", 1, 0, ZoneKind::Standard},
    {"Yukon Daylight Time,YDT,-8.0", "YDT", 8, 0, ZoneKind::Daylight},
    {"Yukon Standard Time,YST,-9.0", "YST", 9, 0, ZoneKind::Standard},
    {"Yukon War Time,YWT,-8.0", "YWT", 8, 0, ZoneKind::Daylight},
}};
// clang-format on

// Whether `slot` is a row of the table.
constexpr bool IsTimeZoneSlot(int slot) { return slot >= 0 && slot < kTimeZoneCount; }

// The offset east of UTC of the clock that row `slot` (a valid slot) and the
// daylight-saving box give under the program's one Universal Time rule:
// UT = local clock time + the row's correction − 1 h when the box is ticked.
// Seconds.
constexpr std::int32_t ZoneOffsetSeconds(int slot, bool daylightSaving) {
    const TimeZoneRow& row = kTimeZoneRows[static_cast<std::size_t>(slot)];
    return -(row.hours * 3600 + row.minutes * 60) + (daylightSaving ? 3600 : 0);
}

// The offset east of UTC of a birth clock: the exact clock's when there is
// one, else row `slot`'s (a valid slot); a ticked box adds its hour to
// either, as the one Universal Time rule says. Seconds.
constexpr std::int32_t ClockOffsetSeconds(int slot, bool daylightSaving, const std::optional<ExactClock>& exact) {
    if (exact) return exact->utcOffsetSeconds + (daylightSaving ? 3600 : 0);
    return ZoneOffsetSeconds(slot, daylightSaving);
}

// What an exact clock is, in words: "local mean time", "standard time",
// "summer time".
constexpr std::string_view ClockKindName(ClockKind kind) {
    return kind == ClockKind::MeanTime     ? "local mean time"
           : kind == ClockKind::SummerTime ? "summer time"
                                           : "standard time";
}

// The one naming of a birth's clock, which every output that shows it takes:
// the chart window's and the printed page's birth-moment line, the form's
// zone list and the JSON's zone, zone_text and utc_offset.
struct BirthClockName {
    std::optional<int> zoneSlot;        // the row; none for an exact clock (JSON null)
    std::string_view zoneText;          // the row's text in the list; empty for an exact clock
    std::string_view name;              // the row's abbreviation ("CDT"), or the exact clock's kind
    bool daylightSaving = false;        // the box: the clock is an hour ahead of `name`'s (", DST")
    std::int32_t utcOffsetSeconds = 0;  // ClockOffsetSeconds: what the chart takes
};

// The naming of row `slot` (a valid slot, or any with an exact clock), the
// box and the exact clock when there is one. Views of fixed texts only.
constexpr BirthClockName NameBirthClock(int slot, bool daylightSaving, const std::optional<ExactClock>& exact) {
    BirthClockName n;
    n.daylightSaving = daylightSaving;
    if (exact) {
        n.name = ClockKindName(exact->kind);
        n.utcOffsetSeconds = ClockOffsetSeconds(slot, daylightSaving, exact);
        return n;
    }
    if (!IsTimeZoneSlot(slot)) return n;
    const TimeZoneRow& row = kTimeZoneRows[static_cast<std::size_t>(slot)];
    n.zoneSlot = slot;
    n.zoneText = row.name;
    n.name = row.abbreviation;
    n.utcOffsetSeconds = ZoneOffsetSeconds(slot, daylightSaving);
    return n;
}

// The row whose offset (box unticked) lies nearest to `offsetSeconds`; among
// equally near rows a standard time, then the first in table order.
int NearestZoneSlot(std::int32_t offsetSeconds);

// Writes slots 0..70 of TimeZoneName, TimeZoneHours and TimeZoneMinutes.
void LoadTimeZones(ChartState& state);

// Stores the zone of table slot `slot` as the chart's: ZoneSlot; the texts
// ZoneHoursText and ZoneMinutesText as the table holds them; their numbers
// ZoneHoursValue and ZoneMinutesValue; and their magnitudes ZoneHoursAbs and
// ZoneMinutesAbs. The row comes from the built-in table, whatever the state's
// copy holds; a slot outside the table changes nothing.
void StoreZone(ChartState& state, int slot);

}  // namespace qv
