#include "tests/oracle/library_json.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "analysis/aspects.h"
#include "analysis/elements.h"
#include "astro/universal_time.h"
#include "state/fixed_lists.h"
#include "state/time_zones.h"

namespace qv::oracle {

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

// The offset east of UTC of the chart's clock, "+05:30" or "-05:00".
std::string UtcOffsetText(const ChartState& s) {
    const int minutes = s.ChartMoment.utcOffsetSeconds / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
                  std::abs(minutes) % 60);
    return text;
}

void WriteInput(const ChartState& s, const AtlasUse& atlas, Json& input) {
    char date[32], time[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", s.BirthYear, s.BirthMonth, s.BirthDay);
    std::snprintf(time, sizeof time, "%02d:%02d", s.BirthHour, s.BirthMinute);
    Put(input["name"], s.BirthName);
    Put(input["date"], date);
    Put(input["time"], time);
    input["time_known"] = s.BirthTimeKnown;
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

// The aspects, found again here from the chart's longitudes and the table
// as the aspects are defined, pair by pair; applying is the program's own
// (it needs the engine's minute after).
void WriteAspects(const ChartState& s, Json& list) {
    list = Json::array();
    const auto* listed = s.Aspects.begin();
    for (std::size_t a = 0; a < kAspectPointCount; ++a)
        for (std::size_t b = a + 1; b < kAspectPointCount; ++b) {
            double arc = std::fmod(std::fabs(s.BodyLongitude[a] - s.BodyLongitude[b]), 360.0);
            if (arc > 180.0) arc = 360.0 - arc;
            for (const AspectType& type : kAspectTable) {
                const double orb = std::fabs(arc - type.angle);
                const double allowed = type.orb + ((a == 0 || a == 1 || b == 0 || b == 1) ? 2.0 : 0.0);
                if (!(orb <= allowed)) continue;
                // The program's entry for this pair, when it lists one.
                while (listed != s.Aspects.end() && (listed->a < a || (listed->a == a && listed->b < b))) ++listed;
                const bool found = listed != s.Aspects.end() && listed->a == a && listed->b == b;
                Json x = Json::object();
                Put(x["a"], kBodyNames[a]);
                Put(x["b"], kBodyNames[b]);
                Put(x["aspect"], type.name);
                x["angle"] = type.angle;
                x["orb"] = orb;
                x["applying"] = found && listed->applying;
                x["rests_on_time"] = found && listed->restsOnTime;
                list.push_back(std::move(x));
            }
        }
}

// Universal Time as the JSON's text, written by snprintf.
std::string UniversalText(const ChartState& s) {
    using namespace std::chrono;
    const sys_time<minutes> t = UniversalMoment(s.ChartMoment);
    const sys_days day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss hms{t - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:00Z", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<long>(hms.hours().count()), static_cast<long>(hms.minutes().count()));
    return text;
}

// The path of a value inside a document, for a message.
std::string Where(const std::string& path, const std::string& key) { return path.empty() ? key : path + "." + key; }

std::string Differ(const Json& got, const Json& want, const std::string& path) {
    if (want.is_number_float() || got.is_number_float()) {
        if (!got.is_number() || !want.is_number()) return path + ": " + got.dump() + " / " + want.dump();
        const double a = got.get<double>(), b = want.get<double>();
        return a == b || (std::isnan(a) && std::isnan(b)) ? std::string()
                                                          : path + ": " + got.dump() + " / " + want.dump();
    }
    if (got.type() != want.type() && !(got.is_number() && want.is_number()))
        return path + ": " + got.dump() + " / " + want.dump();
    if (want.is_object()) {
        if (got.size() != want.size())
            return path + ": " + std::to_string(got.size()) + " members / " + std::to_string(want.size());
        auto g = got.begin();
        for (auto w = want.begin(); w != want.end(); ++w, ++g) {
            if (g.key() != w.key()) return Where(path, w.key()) + ": member " + g.key() + " in its place";
            if (auto d = Differ(g.value(), w.value(), Where(path, w.key())); !d.empty()) return d;
        }
        return {};
    }
    if (want.is_array()) {
        if (got.size() != want.size())
            return path + ": " + std::to_string(got.size()) + " elements / " + std::to_string(want.size());
        for (std::size_t k = 0; k < want.size(); ++k)
            if (auto d = Differ(got[k], want[k], path + "[" + std::to_string(k) + "]"); !d.empty()) return d;
        return {};
    }
    return got == want ? std::string() : path + ": " + got.dump() + " / " + want.dump();
}

}  // namespace

Json LibraryChartJson(std::size_t row, const ChartState& s, const ChartWheel& wheel, const AtlasUse& atlas) {
    Json chart = Json::object();
    if (row > 0) chart["row"] = row;
    WriteInput(s, atlas, chart["input"]);
    Put(chart["positions_from"], PositionsFromName(s.PositionSource));
    Put(chart["ascendant_text"], s.AscendantText);
    Put(chart["moon_text"], s.MoonText);
    Put(chart["moon_sign"], s.MoonSignName);
    Put(chart["universal_time"], UniversalText(s));
    WritePositions(s, chart["positions"]);
    WriteHouses(s, wheel, chart["houses"]);
    WriteFindings(kElementNames, s.ElementResult, chart["elements"]);
    WriteFindings(kQualityNames, s.QualityResult, chart["qualities"]);
    WriteFindings(kHouseTypeNames, s.HouseTypeResult, chart["house_types"]);
    if (s.Aspects.computed) WriteAspects(s, chart["aspects"]);
    return chart;
}

std::string DifferentJson(std::string_view got, const Json& want) {
    const Json parsed = Json::parse(got, nullptr, false);
    if (parsed.is_discarded()) return "not JSON: " + std::string(got.substr(0, 200));
    // The library's own text of `want`, read back: its texts as it writes them.
    const Json written = Json::parse(want.dump(-1, ' ', false, Json::error_handler_t::replace));
    return Differ(parsed, written, "");
}

}  // namespace qv::oracle
