#include "formats/chart_json.h"

#include <algorithm>

#include "analysis/aspects.h"
#include "analysis/elements.h"
#include "astro/universal_time.h"
#include "chart/chart_moment.h"
#include "formats/time_window_json.h"
#include "state/fixed_lists.h"
#include "state/text.h"
#include "state/time_zones.h"

namespace qv {

namespace {

void WriteAspects(const ChartState& s, JsonWriter& json) {
    json.BeginArray();
    for (const Aspect& x : s.Aspects) {
        const AspectType& type = AspectTypeOf(x.kind);
        json.BeginObject();
        json.Key("a");
        json.String(kBodyNames[x.a]);
        json.Key("b");
        json.String(kBodyNames[x.b]);
        json.Key("aspect");
        json.String(type.name);
        json.Key("angle");
        json.Integer(type.angle);
        json.Key("orb");
        json.Number(x.orb);
        json.Key("applying");
        json.Bool(x.applying);
        json.Key("rests_on_time");
        json.Bool(x.restsOnTime);
        json.EndObject();
    }
    json.EndArray();
}

void WriteInput(const ChartState& s, const AtlasUse& atlas, JsonWriter& json) {
    char date[40], time[16], offset[16];
    char* end = PutZeroPadded(date, s.BirthYear, 4);
    *end++ = '-';
    end = PutZeroPadded(end, s.BirthMonth, 2);
    *end++ = '-';
    end = PutZeroPadded(end, s.BirthDay, 2);
    const std::string_view dateText(date, static_cast<std::size_t>(end - date));
    end = PutZeroPadded(time, s.BirthHour, 2);
    *end++ = ':';
    end = PutZeroPadded(end, s.BirthMinute, 2);
    const std::string_view timeText(time, static_cast<std::size_t>(end - time));
    const BirthClockName clock = NameBirthClock(s.ZoneSlot, s.DaylightSaving, s.BirthExactClock);
    const std::string_view offsetText(offset,
                                      static_cast<std::size_t>(PutUtcOffset(offset, clock.utcOffsetSeconds) - offset));

    json.BeginObject();
    json.Key("name");
    json.String(s.BirthName);
    json.Key("date");
    json.String(dateText);
    json.Key("time");
    json.String(timeText);
    json.Key("time_known");
    json.Bool(s.BirthTimeKnown);
    // A clock no row gives: no row, and the offset (below) to the second.
    json.Key("zone");
    if (clock.zoneSlot)
        json.Integer(*clock.zoneSlot);
    else
        json.Null();
    // The list's text of the row, as the chart state's table holds it.
    json.Key("zone_text");
    json.String(clock.zoneSlot ? std::string_view(s.TimeZoneName[static_cast<std::size_t>(*clock.zoneSlot)])
                               : std::string_view());
    json.Key("dst");
    json.Bool(s.DaylightSaving);
    json.Key("latitude");
    json.Number(s.ChartMoment.latitudeNorth);
    json.Key("longitude");
    json.Number(s.ChartMoment.longitudeEast);
    json.Key("city");
    json.String(s.BirthCity);
    json.Key("state");
    json.String(s.BirthState);
    json.Key("country");
    json.String(s.BirthCountry);
    json.Key("place");
    json.StringOrNull(atlas.place);
    json.Key("zone_id");
    json.StringOrNull(atlas.zoneId);
    json.Key("utc_offset");
    json.String(offsetText);
    json.EndObject();
}

void WritePositions(const ChartState& s, JsonWriter& json) {
    json.BeginArray();
    for (std::size_t slot = 0; slot < s.BodyLongitude.size(); ++slot) {
        json.BeginObject();
        json.Key("name");
        json.String(s.PositionName[slot]);
        json.Key("position");
        json.String(s.PlanetPosition[slot]);
        json.Key("longitude");
        json.Number(s.BodyLongitude[slot]);
        json.Key("label");
        json.String(s.BodyLabel[slot]);
        // Slots 2..9 are Mercury … Pluto, flags 0..7.
        json.Key("retrograde");
        json.Bool(slot >= 2 && slot <= 9 && s.RetrogradeFlag[slot - 2]);
        json.EndObject();
    }
    json.EndArray();
}

void WriteHouses(const ChartState& s, const ChartWheel& wheel, JsonWriter& json) {
    json.BeginArray();
    for (std::size_t h = 0; h < 12; ++h) {
        json.BeginObject();
        json.Key("house");
        json.Integer(static_cast<std::int64_t>(h + 1));
        json.Key("sign");
        json.String(s.HouseSign[h]);
        json.Key("bodies");
        json.BeginArray();
        const WheelBox& box = wheel.houseBox(static_cast<int>(h));
        ForEachLabel(s, box, [&](std::string_view label) { json.String(label); });
        if (box.ascendant) json.String(kBodyNames[kAscendantSlot]);
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
}

template <std::size_t N, std::size_t M>
void WriteFindings(const std::array<std::string_view, N>& names, const std::array<FixedText, M>& results,
                   JsonWriter& json) {
    json.BeginArray();
    for (std::size_t i = 0; i < N; ++i) {
        json.BeginObject();
        json.Key("name");
        json.String(names[i]);
        json.Key("present");
        json.Bool(IsPresentMessage(results[i]));
        json.Key("message");
        json.String(results[i]);
        json.EndObject();
    }
    json.EndArray();
}

}  // namespace

void WriteChartMembers(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas, JsonWriter& json,
                       const TimeWindow* window) {
    char universal[kIsoMinuteRoom];
    const std::string_view universalText(
        universal, static_cast<std::size_t>(PutIsoMinute(universal, UniversalSecond(state.ChartMoment)) - universal));
    json.Key("input");
    WriteInput(state, atlas, json);
    json.Key("positions_from");
    json.String(PositionsFromName(state.PositionSource));
    json.Key("ascendant_text");
    json.String(state.AscendantText);
    json.Key("moon_text");
    json.String(state.MoonText);
    json.Key("moon_sign");
    json.String(state.MoonSignName);
    json.Key("universal_time");
    json.String(universalText);
    json.Key("positions");
    WritePositions(state, json);
    json.Key("houses");
    WriteHouses(state, wheel, json);
    json.Key("elements");
    WriteFindings(kElementNames, state.ElementResult, json);
    json.Key("qualities");
    WriteFindings(kQualityNames, state.QualityResult, json);
    json.Key("house_types");
    WriteFindings(kHouseTypeNames, state.HouseTypeResult, json);
    // What rests on a birth time not known.
    if (const std::optional<TimeDependence> dependence = TimeDependenceOf(state, window)) {
        json.Key("rests_on_time");
        WriteTimeDependence(*dependence, json);
    }
    if (state.Aspects.computed) {
        json.Key("aspects");
        WriteAspects(state, json);
    }
    if (window) {
        json.Key("time_window");
        WriteTimeWindow(*window, json, atlas.zoneId);
    }
}

std::string ChartJsonText(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas,
                          const TimeWindow* window) {
    std::string text;
    {
        JsonWriter json(text, true);
        json.BeginObject();
        WriteChartMembers(state, wheel, atlas, json, window);
        json.EndObject();
    }
    text += '\n';
    return text;
}

void ChartJsonLineWriter::AppendChart(std::string& out, std::size_t row, const ChartState& state,
                                      const ChartWheel& wheel, const AtlasUse& atlas, const TimeWindow* window) {
    {
        JsonWriter json(out, false);
        json.BeginObject();
        json.Key("row");
        json.Integer(static_cast<std::int64_t>(row));
        WriteChartMembers(state, wheel, atlas, json, window);
        json.EndObject();
    }
    out += '\n';
}

void ChartJsonLineWriter::AppendError(std::string& out, std::size_t row, std::string_view message) {
    {
        JsonWriter json(out, false);
        json.BeginObject();
        json.Key("row");
        json.Integer(static_cast<std::int64_t>(row));
        json.Key("error");
        json.String(message);
        json.EndObject();
    }
    out += '\n';
}

}  // namespace qv
