#include "tools/report/atlas_input.h"

#include <nlohmann/json.hpp>

#include "state/text.h"
#include "state/time_zones.h"
#include "app/birth_place.h"
#include "atlas/clock_text.h"
#include "atlas/place_cache.h"

namespace qv::report {

namespace {

// The row of the place's standard time, for a box the user gave: the
// offset without the daylight-saving hour the clock had.
std::optional<int> StandardRow(const LocalTimeType& clock) {
    const std::int32_t standard = clock.utcOffset - (clock.daylightSaving ? 3600 : 0);
    const ZoneSlot slot = ZoneSlotFor(standard, false, clock.daylightSaving ? "" : clock.abbreviation);
    if (!slot.found || slot.daylightSaving) return std::nullopt;
    return slot.slot;
}

}  // namespace

std::optional<std::string> PlaceFromAtlas(const PlaceRequest& request, BirthFormData& form, AtlasUse& used) {
    // Each batch worker looks each text up once.
    thread_local BestPlaceCache cache(Atlas());
    const Place* found = cache.Find(request.text);
    if (!found) return "No place in the atlas matches " + QuoteUserText(request.text);
    const Place& place = *found;
    if (!request.latitudeGiven) SetPlaceLatitude(form, place);
    if (!request.longitudeGiven) SetPlaceLongitude(form, place);
    if (!request.cityGiven) form.txtCity = place.name;
    if (!request.stateGiven) form.txtState = place.state;
    if (!request.countryGiven) form.txtCountry = place.country;
    used = {PlaceLabel(place), {}};
    // A place without a zone leaves the box to the user too.
    if (request.zoneGiven && (request.dstGiven || place.zoneId.empty())) return std::nullopt;

    const LocalDateTime local = BirthMoment(form);
    const PlaceClock clock = ClockOfPlace(place, local);
    if (!clock.clock.ok() || clock.clock.kind == LocalTimeKind::Skipped) return clock.refusal;
    used.zoneId = place.zoneId;
    const std::int32_t offset = clock.clock.time.utcOffset;
    if (request.zoneGiven) {
        form.chkDST =
            ZoneOffsetSeconds(form.cboTimeZone, false) != offset && ZoneOffsetSeconds(form.cboTimeZone, true) == offset;
        return std::nullopt;
    }
    if (request.dstGiven) {
        if (const std::optional<int> row = StandardRow(clock.clock.time)) {
            form.cboTimeZone = *row;
        } else {
            // No row: the place's standard time to the second, beside the box.
            LocalTimeType standard = clock.clock.time;
            if (standard.daylightSaving) standard.utcOffset -= 3600, standard.daylightSaving = false;
            form.cboTimeZone = kExactClockItem;
            form.exactClock = ExactClockOf(standard);
        }
        return std::nullopt;
    }
    SetZoneOfClock(form, clock);
    return std::nullopt;
}

std::string FindPlaceJsonText(const std::string& text, std::size_t limit) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Place& p : FindPlaces(text, limit)) {
        list.push_back({{"name", p.name},
                        {"state", p.state},
                        {"country", p.country},
                        {"latitude", p.latitude},
                        {"longitude", p.longitude},
                        {"zone_id", p.zoneId},
                        {"label", PlaceLabel(p)}});
    }
    return list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace qv::report
