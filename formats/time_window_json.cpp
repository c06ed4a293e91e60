#include "formats/time_window_json.h"

#include "analysis/elements.h"
#include "chart/chart_moment.h"
#include "state/fixed_lists.h"
#include "state/text.h"

namespace qv {

void WriteTimeDependence(const TimeDependence& d, JsonWriter& json) {
    const auto names = [&json](const auto& all, const auto& marked) {
        json.BeginArray();
        for (std::size_t i = 0; i < marked.size(); ++i)
            if (marked[i]) json.String(all[i]);
        json.EndArray();
    };
    json.BeginObject();
    json.Key("ascendant");
    json.Bool(true);
    json.Key("houses");
    json.Bool(true);
    json.Key("moon_sign");
    json.Bool(d.moonSign);
    json.Key("elements");
    names(kElementNames, d.elements);
    json.Key("qualities");
    names(kQualityNames, d.qualities);
    json.Key("house_types");
    names(kHouseTypeNames, d.houseTypes);
    json.EndObject();
}

void WriteTimeWindow(const TimeWindow& w, JsonWriter& json, std::string_view zoneId) {
    const WindowClock clock(w, zoneId);
    const auto offsetText = [&clock](int minute) {
        char room[16];
        return std::string(room, PutUtcOffset(room, clock.At(minute).utcOffset));
    };
    const bool fromShown = !w.earlierOpen || w.earlierCut, untilShown = !w.laterOpen || w.laterCut;
    json.BeginObject();
    json.Key("from");
    json.StringOrNull(fromShown ? clock.IsoText(w.first) : std::string());
    json.Key("until");
    json.StringOrNull(untilShown ? clock.IsoText(w.last) : std::string());
    json.Key("from_utc_offset");
    json.StringOrNull(fromShown ? offsetText(w.first) : std::string());
    json.Key("until_utc_offset");
    json.StringOrNull(untilShown ? offsetText(w.last) : std::string());
    json.Key("before");
    json.StringOrNull(WindowEdgeEvent(w, false, zoneId));
    json.Key("after");
    json.StringOrNull(WindowEdgeEvent(w, true, zoneId));
    json.Key("bodies");
    json.BeginArray();
    for (std::size_t slot = 0; slot < w.face.sign.size(); ++slot) {
        json.BeginObject();
        json.Key("name");
        json.String(kBodyNames[slot]);
        json.Key("sign");
        json.String(WindowSignName(w.face.sign[slot]));
        for (bool next : {false, true}) {
            json.Key(next ? "next_change" : "last_change");
            const auto& change = next ? w.nextChange[slot] : w.lastChange[slot];
            if (!change) {
                json.StringOrNull({});
                continue;
            }
            json.BeginObject();
            json.Key("at");
            json.String(clock.IsoText(change->minute));
            json.Key("sign");
            json.String(WindowSignName(next ? change->after : change->before));
            json.EndObject();
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

}  // namespace qv
