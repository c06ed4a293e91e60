#include "chartview/chart_json.h"

#include <bit>
#include <cstdio>
#include <string_view>

#include "analysis/elements.h"
#include "astro/universal_time.h"
#include "state/fixed_lists.h"
#include "state/time_zones.h"
#include "state/text.h"

namespace qv {

namespace {

using Json = nlohmann::ordered_json;

// `text` into `slot`, in the slot's own string when it has one.
void Put(Json& slot, std::string_view text) {
    if (slot.is_string())
        slot.get_ref<Json::string_t&>().assign(text);
    else
        slot = Json::string_t(text);
}

// `slot` as an array of `n` elements, keeping those it has.
Json::array_t& ArrayOf(Json& slot, std::size_t n) {
    if (!slot.is_array()) slot = Json::array();
    Json::array_t& items = slot.get_ref<Json::array_t&>();
    items.resize(n);
    return items;
}

// `text` into `slot`, or null for an empty text.
void PutOrNull(Json& slot, std::string_view text) {
    if (text.empty())
        slot = nullptr;
    else
        Put(slot, text);
}

// The offset east of UTC that the chart's zone row and box give under its
// Universal Time rule, "+05:30" or "-05:00".
std::string UtcOffsetText(const ChartState& s) {
    char text[8];
    return std::string(text, PutUtcOffset(text, s.ChartMoment.utcOffsetSeconds / 60));
}

void WriteInput(const ChartState& s, const AtlasUse& atlas, Json& input) {
    char date[32], time[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", s.BirthYear, s.BirthMonth, s.BirthDay);
    std::snprintf(time, sizeof time, "%02d:%02d", s.BirthHour, s.BirthMinute);
    Put(input["name"], s.BirthName);
    Put(input["date"], date);
    Put(input["time"], time);
    input["zone"] = s.ZoneSlot;
    const bool inTable = s.ZoneSlot >= 0 && s.ZoneSlot < kTimeZoneCount;
    Put(input["zone_text"], inTable ? s.TimeZoneName[static_cast<std::size_t>(s.ZoneSlot)] : std::string());
    input["dst"] = s.DaylightSaving;
    input["latitude"] = s.ChartMoment.latitudeNorth;
    input["longitude"] = s.ChartMoment.longitudeEast;
    Put(input["city"], s.BirthCity);
    Put(input["state"], s.BirthState);
    Put(input["country"], s.BirthCountry);
    PutOrNull(input["place"], atlas.place);
    PutOrNull(input["zone_id"], atlas.zoneId);
    Put(input["utc_offset"], UtcOffsetText(s));
}

void WritePositions(const ChartState& s, Json& list) {
    Json::array_t& positions = ArrayOf(list, s.BodyLongitude.size());
    for (std::size_t slot = 0; slot < positions.size(); ++slot) {
        Json& p = positions[slot];
        Put(p["name"], s.PositionName[slot]);
        Put(p["position"], s.PlanetPosition[slot]);
        p["longitude"] = s.BodyLongitude[slot];
        Put(p["label"], s.BodyLabel[slot]);
        // Slots 2..9 are Mercury … Pluto, flags 0..7.
        p["retrograde"] = slot >= 2 && slot <= 9 && s.RetrogradeFlag[slot - 2];
    }
}

void WriteHouses(const ChartState& s, const ChartWheel& wheel, Json& list) {
    Json::array_t& houses = ArrayOf(list, 12);
    for (std::size_t h = 0; h < houses.size(); ++h) {
        Json& house = houses[h];
        house["house"] = h + 1;
        Put(house["sign"], s.HouseSign[h]);
        const WheelBox& box = wheel.houseBox(static_cast<int>(h));
        const std::size_t count = static_cast<std::size_t>(std::popcount(box.bodies)) + (box.ascendant ? 1 : 0);
        Json::array_t& bodies = ArrayOf(house["bodies"], count);
        std::size_t k = 0;
        ForEachLabel(s, box, [&](std::string_view label) { Put(bodies[k++], label); });
        if (box.ascendant) Put(bodies.back(), kBodyNames[kAscendantSlot]);
    }
}

template <std::size_t N, std::size_t M>
void WriteFindings(const std::array<std::string_view, N>& names, const std::array<FixedText, M>& results, Json& list) {
    Json::array_t& findings = ArrayOf(list, N);
    for (std::size_t i = 0; i < N; ++i) {
        Json& f = findings[i];
        Put(f["name"], names[i]);
        f["present"] = IsPresentMessage(results[i]);
        Put(f["message"], results[i]);
    }
}

}  // namespace

void WriteChartJson(const ChartState& state, const ChartWheel& wheel, Json& chart, const AtlasUse& atlas) {
    WriteInput(state, atlas, chart["input"]);
    Put(chart["positions_from"], PositionsFromName(state.PositionSource));
    Put(chart["ascendant_text"], state.AscendantText);
    Put(chart["moon_text"], state.MoonText);
    Put(chart["moon_sign"], state.MoonSignName);
    Put(chart["universal_time"], FormatIsoMinute(UniversalMoment(state.ChartMoment)));
    WritePositions(state, chart["positions"]);
    WriteHouses(state, wheel, chart["houses"]);
    WriteFindings(kElementNames, state.ElementResult, chart["elements"]);
    WriteFindings(kQualityNames, state.QualityResult, chart["qualities"]);
    WriteFindings(kHouseTypeNames, state.HouseTypeResult, chart["house_types"]);
}

Json ChartJson(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas) {
    Json chart = Json::object();
    WriteChartJson(state, wheel, chart, atlas);
    return chart;
}

std::string ChartJsonText(const ChartState& state, const ChartWheel& wheel, const AtlasUse& atlas) {
    return ChartJson(state, wheel, atlas).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string JsonLine(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace qv
