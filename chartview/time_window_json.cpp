#include "chartview/time_window_json.h"

#include "chartview/chart_moment.h"
#include "state/fixed_lists.h"

namespace qv {

void WriteTimeWindow(const TimeWindow& w, JsonWriter& json) {
    json.BeginObject();
    json.Key("from");
    json.StringOrNull(w.earlierOpen ? std::string() : WindowIsoClock(w, w.first));
    json.Key("until");
    json.StringOrNull(w.laterOpen ? std::string() : WindowIsoClock(w, w.last));
    json.Key("before");
    json.StringOrNull(WindowEdgeEvent(w, false));
    json.Key("after");
    json.StringOrNull(WindowEdgeEvent(w, true));
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
            json.String(WindowIsoClock(w, change->minute));
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
